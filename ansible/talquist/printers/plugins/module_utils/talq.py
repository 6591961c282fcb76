# -*- coding: utf-8 -*-
# Running talq on the managed host and reading its JSON: the one place the modules meet the
# command line. The modules never speak the printer protocol; talq does.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json

CONNECTION_ARGUMENT_SPEC = dict(
    port=dict(type='str', required=True),
    model=dict(type='str', required=True),
    baud=dict(type='int'),
    data_bits=dict(type='int', choices=[7, 8]),
    parity=dict(type='str', choices=['None', 'Odd', 'Even']),
    stop_bits=dict(type='float', choices=[1, 1.5, 2]),
    flow=dict(type='str', choices=['Hardware', 'Xon/Xoff']),
    talq=dict(type='path', default='talq'),
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


def _talq_program(module):
    program = module.params['talq']
    if '/' in program:
        return program
    return module.get_bin_path(program, required=True)


def _option_text(value):
    # 1.5 stays 1.5, 2.0 becomes 2: the spelling talq lists.
    if isinstance(value, float):
        return '%g' % value
    return str(value)


def talq_command(module, command, extra):
    """The talq command line for COMMAND on the module's port and model, quiet and in JSON."""
    params = module.params
    # OPTION=VALUE throughout, so a value that starts with '-' stays a value.
    argv = [_talq_program(module), command, '--quiet', '--json',
            '--model=' + params['model'], '--port=' + params['port']]
    for name, option in _LINE_OPTIONS:
        if params[name] is not None:
            argv.append('%s=%s' % (option, _option_text(params[name])))
    return argv + list(extra)


def _first_document(stdout):
    try:
        document = json.loads(stdout)
    except ValueError:
        return None
    # One port was given: an array (several ports) would hold just that one.
    if isinstance(document, list):
        document = document[0] if len(document) == 1 else None
    return document if isinstance(document, dict) else None


def run_talq(module, argv, expected_format, failed_changed=None):
    """Runs talq and returns its document; fails the host with talq's message otherwise.

    failed_changed names the document field telling whether the printer was written before
    the failure, so a failed host still says whether it changed.
    """
    rc, stdout, stderr = module.run_command(argv)
    document = _first_document(stdout)
    if rc == 0 and document is not None and document.get('format') == expected_format:
        return document
    message = None
    if document is not None:
        message = document.get('error')
    if not message:
        lines = [line for line in stderr.splitlines() if line.strip()]
        message = lines[-1] if lines else None
    if not message:
        message = 'talq printed no %s document' % expected_format
    changed = bool(document.get(failed_changed)) if document and failed_changed else False
    details = dict(rc=rc, stderr=stderr, cmd=argv, changed=changed)
    if document is None and stdout:
        details['stdout'] = stdout  # what talq printed instead of its document
    module.fail_json(msg=message, **details)
    return None
