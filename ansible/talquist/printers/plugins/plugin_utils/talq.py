# -*- coding: utf-8 -*-
# Running talq on the managed host over the host's own connection and reading its JSON: the one
# place the collection meets the command line. Nothing runs on the host but talq, so hosts need
# no Python: Linux over ssh or local, Windows over WinRM or OpenSSH with the cmd or PowerShell
# shell. The collection never speaks the printer protocol; talq does.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import re

from ansible.errors import AnsibleActionFail
from ansible.plugins.action import ActionBase

from ansible_collections.talquist.printers.plugins.plugin_utils.windows_command import (
    NOT_STARTED_MARK, UnsafeWord, powershell_command)

# Where the Windows installer puts talq.
WINDOWS_TALQ = r'C:\Program Files\Talquist Manager\talq.exe'

CONNECTION_ARGUMENT_SPEC = dict(
    port=dict(type='str', required=True),
    model=dict(type='str', required=True),
    baud=dict(type='int'),
    data_bits=dict(type='int', choices=[7, 8]),
    parity=dict(type='str', choices=['None', 'Odd', 'Even']),
    stop_bits=dict(type='float', choices=[1, 1.5, 2]),
    flow=dict(type='str', choices=['Hardware', 'Xon/Xoff']),
    # A host's path, not the controller's: no 'path' type, which would expand it here.
    talq_path=dict(type='str', aliases=['talq']),
)

# Option of the module -> option of talq, for the line settings.
_LINE_OPTIONS = (
    ('baud', '--baud'),
    ('data_bits', '--data-bits'),
    ('parity', '--parity'),
    ('stop_bits', '--stop-bits'),
    ('flow', '--flow'),
)

# The order talq keeps the switches in.
SWITCH_ORDER = ('1', '2', '8', '9', '10', '11')

# The word of --port that reaches every USB printer talq finds.
ALL_USB = 'usb'

# How talq starts a warning on standard error.
_WARNING = 'talq: warning: '

# sh's exit code for a program that is not there.
_NOT_FOUND_SH = 127


def option_text(value):
    # 1.5 stays 1.5, 2.0 becomes 2: the spelling talq lists.
    if isinstance(value, float):
        return '%g' % value
    return str(value)


def usb_printer_names(ports):
    """The USB printers of talq ports --json as (entry name, name to put in port) pairs: the
    identity talq gives each (usb:serial=..., usb:path=...), which stays with the printer and
    tells two of one model apart, else the entry's own name."""
    return [(entry.get('name'), entry.get('identity') or entry.get('name')) for entry in ports
            if isinstance(entry, dict) and entry.get('interface') == 'usb']


def one_style(message):
    """talq's messages without its 'talq: ' prefix, so usage and port errors read alike."""
    message = message.strip()
    return message[len('talq: '):] if message.startswith('talq: ') else message


class TalqFailure(Exception):
    def __init__(self, msg, **details):
        super(TalqFailure, self).__init__(msg)
        self.msg = msg
        self.details = details


class TalqAction(ActionBase):
    """An action that runs talq on the managed host; subclasses build the arguments."""

    TRANSFERS_FILES = False
    talq_warnings = ()
    usb_names = ()  # what usb_printers found
    _requires_connection = True
    _supports_check_mode = True
    _supports_async = False

    def _shell_family(self):
        return getattr(self._connection._shell, 'SHELL_FAMILY', 'sh')

    def _windows(self):
        return self._shell_family() in ('cmd', 'powershell')

    def talq_program(self, params):
        if params.get('talq_path'):
            return params['talq_path']
        return WINDOWS_TALQ if self._windows() else 'talq'

    def talq_argv(self, params, command, extra):
        """talq COMMAND on the task's port and model, quiet and in JSON."""
        # OPTION=VALUE throughout, so a value that starts with '-' stays a value.
        argv = [self.talq_program(params), command, '--quiet', '--json',
                '--model=' + params['model'], '--port=' + params['port']]
        for name, option in _LINE_OPTIONS:
            if params.get(name) is not None:
                argv.append('%s=%s' % (option, option_text(params[name])))
        return argv + list(extra)

    def _command_line(self, argv):
        """ARGV as one command for the host: a PowerShell script on Windows, whatever the shell
        type (every Windows connection runs PowerShell), else sh's words quoted by the shell
        plugin."""
        environment = {}
        prefix = self._compute_environment_string(environment)
        if self._windows():
            try:
                return powershell_command(argv, environment)
            except UnsafeWord as error:
                raise TalqFailure(str(error), changed=False)
        words = ' '.join(self._connection._shell.quote(word) for word in argv)
        return (prefix + ' ' + words) if prefix else words

    def run_talq(self, params, argv):
        """talq's exit code, its document (or None) and its messages."""
        cmd = self._command_line(argv)
        result = self._low_level_execute_command(cmd, sudoable=True)
        rc, stdout, stderr = result.get('rc'), result.get('stdout', ''), result.get('stderr', '')
        try:
            document = json.loads(stdout) if stdout.strip() else None
        except ValueError:
            document = None
        said = (stderr or '') + (stdout or '')
        # A line of talq's own ("talq: ...") means talq ran. On Windows the command says when
        # talq did not start; its exit code is 1 there when the host's ssh shell is PowerShell.
        if self._windows():
            not_started = re.search('^' + re.escape(NOT_STARTED_MARK), stderr or '', re.M)
        else:
            not_started = rc == _NOT_FOUND_SH
        if document is None and rc != 0 and not re.search(r'^talq: ', said, re.M) and not_started:
            raise TalqFailure(
                "talq was not found on the managed host (talq_path %s): install Talquist Manager "
                "there (Debian: the package talquist-manager; Windows: "
                "'msiexec /i talquist-manager-<version>-x64.msi /qn') or set talq_path"
                % argv[0], rc=rc, stderr=stderr, stdout=stdout, cmd=cmd, changed=False)
        return rc, document, stdout, stderr, cmd

    def expect_document(self, params, argv, expected_format, written_field=None):
        """talq's one document of EXPECTED_FORMAT, or TalqFailure with talq's message.

        written_field names the document field telling whether the printer was written before
        a failure, so a failed host still says whether it changed.
        """
        rc, document, stdout, stderr, cmd = self.run_talq(params, argv)
        documents = document if isinstance(document, list) else [document]
        documents = [d for d in documents if isinstance(d, dict)]
        changed = bool(written_field) and any(d.get(written_field) for d in documents)
        if isinstance(document, list) and len(document) != 1:
            # Only 'usb' reaches several printers from one port option.
            names = dict(self.usb_names)
            raise TalqFailure('port %s reached %d printers (%s): name one of them, as talq ports '
                              'lists it' % (params['port'], len(documents), ', '.join(
                                  str(names.get(d.get('port')) or d.get('port'))
                                  for d in documents)),
                              rc=rc, stderr=stderr, cmd=cmd, changed=changed, printers=documents)
        single = documents[0] if len(documents) == 1 else None
        lines = [line for line in (stderr or '').splitlines() if line.strip()]
        # What talq warned of on the way (a reserved pin, ...), for Ansible to show as warnings.
        self.talq_warnings = [line[len(_WARNING):] for line in lines if line.startswith(_WARNING)]
        if rc == 0 and single is not None and single.get('format') == expected_format:
            return single
        message = single.get('error') if single else None
        if not message and lines:
            # talq's last message with the lines that belong to it (candidates, one a line).
            starts = [i for i, line in enumerate(lines) if line.startswith('talq: ')]
            message = '\n'.join(lines[starts[-1]:] if starts else lines[-1:])
        if not message:
            message = 'talq printed no %s document' % expected_format
        details = dict(rc=rc, stderr=stderr, cmd=cmd, changed=changed)
        if single is None and stdout:
            details['stdout'] = stdout  # what talq printed instead of its document
        raise TalqFailure(one_style(message), **details)

    def usb_printers(self, params):
        """The USB printers talq finds on the host (usb_printer_names), to refuse 'usb' that
        would reach several."""
        argv = [self.talq_program(params), 'ports', '--json']
        rc, document, stdout, stderr, cmd = self.run_talq(params, argv)
        if rc != 0 or not isinstance(document, list):
            raise TalqFailure(one_style(stderr.strip() or 'talq ports printed no list'),
                              rc=rc, stderr=stderr, cmd=cmd, changed=False)
        self.usb_names = usb_printer_names(document)
        return self.usb_names

    def refuse_several_usb(self, params):
        if params['port'].lower() != ALL_USB:
            return
        printers = [name for _, name in self.usb_printers(params)]
        if len(printers) > 1:
            raise TalqFailure('port usb would reach %d printers (%s): name one of them as port, '
                              'so each task writes one printer' % (len(printers), ', '.join(printers)),
                              changed=False)

    def validated(self, argument_spec, **rules):
        _, params = self.validate_argument_spec(argument_spec=argument_spec, **rules)
        return params

    def run(self, tmp=None, task_vars=None):
        result = super(TalqAction, self).run(tmp, task_vars)
        del tmp  # nothing is copied to the host
        try:
            result.update(self.run_talq_task())
        except TalqFailure as failure:
            result.update(failure.details)
            result.update(failed=True, msg=failure.msg)
        except AnsibleActionFail as error:  # bad options
            result.update(failed=True, msg=str(error), changed=False)
        return result

    def run_talq_task(self):
        raise NotImplementedError
