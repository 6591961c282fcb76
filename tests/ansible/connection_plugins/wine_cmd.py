# -*- coding: utf-8 -*-
# A test-only connection: each command of a task runs as `cmd /c` in the Wine prefix of the run
# ($WINE, $WINEPREFIX from scripts/wine-run.sh), as OpenSSH on Windows runs it with cmd as the
# default shell. The command line goes through a batch file: Wine would otherwise re-quote it
# as a program argument.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
name: wine_cmd
short_description: Run commands with cmd /c in a Wine prefix (tests only)
description:
  - Runs each command with C(cmd /c) under C($WINE) in C($WINEPREFIX), shell type cmd.
author: Talquist Manager developers (@talquist)
'''

import os
import subprocess
import tempfile

from ansible.errors import AnsibleError
from ansible.plugins.connection import ConnectionBase


class Connection(ConnectionBase):
    transport = 'wine_cmd'
    has_pipelining = False
    allow_executable = False
    _shell_type = 'cmd'
    module_implementation_preferences = ('.ps1', '.exe', '')

    def _connect(self):
        if not os.environ.get('WINE') or not os.environ.get('WINEPREFIX'):
            raise AnsibleError('wine_cmd runs inside scripts/wine-run.sh (WINE, WINEPREFIX)')
        self._connected = True
        return self

    def exec_command(self, cmd, in_data=None, sudoable=True):
        super(Connection, self).exec_command(cmd, in_data=in_data, sudoable=sudoable)
        if in_data is not None:
            raise AnsibleError('wine_cmd sends no standard input')
        # A batch file reads '%' as the start of a variable: doubled, it stays the text cmd /c got.
        with tempfile.NamedTemporaryFile('wb', suffix='.cmd', delete=False) as batch:
            batch.write(b'@' + cmd.replace('%', '%%').encode('utf-8') + b'\r\n')
        try:
            run = subprocess.run([os.environ['WINE'], 'cmd', '/c', 'Z:' + batch.name.replace('/', '\\')],
                                 stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        finally:
            os.remove(batch.name)
        return run.returncode, run.stdout, run.stderr

    def put_file(self, in_path, out_path):
        raise AnsibleError('wine_cmd copies no files')

    def fetch_file(self, in_path, out_path):
        raise AnsibleError('wine_cmd copies no files')

    def close(self):
        self._connected = False
