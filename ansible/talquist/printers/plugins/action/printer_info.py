# -*- coding: utf-8 -*-
# talquist.printers.printer_info: talq get on the managed host, over its connection.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

from ansible_collections.talquist.printers.plugins.plugin_utils.talq import (
    CONNECTION_ARGUMENT_SPEC, TalqAction)


class ActionModule(TalqAction):

    def run_talq_task(self):
        params = self.validated(dict(CONNECTION_ARGUMENT_SPEC))
        self.refuse_several_usb(params)
        document = self.expect_document(params, self.talq_argv(params, 'get', []), 'talq-status/1')
        printer = document.get('printer') or {}
        info = dict(
            port=document.get('port'),
            model=document.get('model'),
            switches=document.get('switches'),
            code_page=document.get('codePage'),
            serial=document.get('serial'),
            firmware_version=printer.get('firmwareVersion'),
            model_name=printer.get('modelName'),
        )
        return dict(changed=False, ansible_facts=dict(talq_printer=info), **info)
