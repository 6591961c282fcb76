# -*- coding: utf-8 -*-
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: memory_switches
short_description: Keep the memory switches of a KTV receipt printer as declared
version_added: 3.0.6
description:
  - Reads the printer's memory switches, applies a status file, single pins and a code page,
    and writes the switches only when a pin the printer receives would change, so repeated
    runs change nothing.
  - Works through C(talq set --json) on the managed host.
  - In check mode talq reads the printer and stops at the difference; nothing is sent.
  - With C(--diff) the pins that change are shown before and after.
extends_documentation_fragment:
  - talquist.printers.talq
options:
  status_file:
    description:
      - A status file on the managed host to apply first, a 216-byte C(.sts) or talq's
        C(.json) (as C(talq get -o) writes). A file written for another model is refused.
      - Of switch 1 the printer receives pins 4 and 5 only; its other pins keep the
        printer's values.
    type: path
  pins:
    description:
      - 'Pins to set after the file, as C(SWITCH.PIN) mapped to C(0) or C(1), for example
        C({"2.3": 1, "8.1": 0}).'
    type: dict
  code_page:
    description:
      - The code page to select after the pins, as a number C(0) .. C(36), the list text, or
        its first word such as C(PC850).
      - A pin of I(pins) that the code page sets as well is refused; give one of them.
    type: raw
  verify:
    description:
      - After writing, read the switches back and fail when the printer kept other values.
      - Not used in check mode, where nothing is written.
    type: bool
    default: true
attributes:
  check_mode:
    support: full
    description: talq reads the printer and reports what would change; nothing is sent.
  diff_mode:
    support: full
    description: The pins of every switch before and after, with any decoded setting that changes.
author:
  - Talquist Manager developers (@talquist)
'''

EXAMPLES = r'''
- name: Receipt printer with the shop's switches
  talquist.printers.memory_switches:
    port: COM1
    model: KTV-520plus
    status_file: /etc/talquist/shop.json

- name: A few pins and the code page on a serial printer at 115200 baud
  talquist.printers.memory_switches:
    port: "{{ talq_port }}"
    model: "{{ talq_model }}"
    baud: 115200
    pins:
      "8.1": 0
      "9.4": 1
    code_page: PC850
'''

RETURN = r'''
changed:
  description: Whether a pin the printer receives differed (in check mode, would differ).
  returned: always
  type: bool
port:
  description: The port, as given.
  returned: success
  type: str
  sample: COM1
model:
  description: The model the printer identified as.
  returned: success
  type: str
  sample: KTV-520plus
switches:
  description:
    - The memory switches after the run (in check mode, what would be written), by switch
      number; nine integers each, index 0 unused, then pin 1 .. pin 8.
  returned: success
  type: dict
  sample: {"1": [0, 1, 0, 0, 0, 0, 0, 0, 0], "2": [0, 0, 1, 1, 0, 0, 0, 0, 0]}
changes:
  description: The pins that differ, those the printer receives only.
  returned: success
  type: list
  elements: dict
  sample: [{"switch": 2, "pin": 3, "before": 0, "after": 1}]
decoded:
  description: Decoded settings that change, such as the code page, before and after.
  returned: success
  type: dict
  sample: {"codePage": {"before": {"index": 0, "name": "PC437 (USA: Standard Europe)"},
                        "after": {"index": 2, "name": "PC850 (Multilingual)"}}}
set_status:
  description: Whether the switches were written.
  returned: success
  type: bool
verify:
  description: The read-back after writing, C(match), or null when nothing was written or verify is off.
  returned: success
  type: str
  sample: match
next_line_settings:
  description:
    - When the switches change the printer's serial settings, the line settings to reach it
      with afterwards (baud, dataBits, parity, flow), as the module's options take them.
  returned: when the serial settings change
  type: dict
  sample: {"baud": "9600", "dataBits": "8", "parity": "None", "flow": "Hardware"}
rc:
  description: talq's exit code (2 usage, 3 port, 4 not identified, 5 exchange, 6 verify, 7 file).
  returned: failure
  type: int
  sample: 4
stderr:
  description: talq's messages.
  returned: failure
  type: str
'''

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.talquist.printers.plugins.module_utils.talq import (
    CONNECTION_ARGUMENT_SPEC, SWITCH_ORDER, run_talq, talq_command)


def _pin_value(value):
    # YAML true/false are the same pins as 1/0; anything else talq judges.
    if isinstance(value, bool):
        return '1' if value else '0'
    return str(value)


def _set_arguments(module):
    params = module.params
    extra = []
    for key, value in (params['pins'] or {}).items():
        extra.append('--pin=%s=%s' % (key, _pin_value(value)))
    if params['code_page'] is not None:
        extra.append('--code-page=%s' % params['code_page'])
    if params['status_file']:
        # Absolute, so a name that starts with '-' is not taken for an option.
        extra.append(os.path.abspath(params['status_file']))
    if module.check_mode:
        extra.append('--dry-run')
    elif params['verify']:
        extra.append('--verify')
    return extra


def _switches_before(after, changes):
    before = dict((key, list(pins)) for key, pins in after.items())
    for change in changes:
        before[str(change['switch'])][change['pin']] = change['before']
    return before


def _setting_text(value):
    # A code page by its name; serial settings as their words, in talq's order.
    if isinstance(value, dict):
        if 'name' in value:
            return str(value['name'])
        return ', '.join('%s %s' % item for item in value.items())
    return str(value)


def _pin_lines(switches, decoded, side):
    lines = []
    for key in SWITCH_ORDER:
        for pin, value in enumerate(switches.get(key, [])[1:], start=1):
            lines.append('switch %s pin %d: %s' % (key, pin, value))
    for name in sorted(decoded):
        lines.append('%s: %s' % (name, _setting_text(decoded[name].get(side))))
    return '\n'.join(lines) + '\n'


def _diff(port, document):
    after = document.get('switches') or {}
    decoded = document.get('decoded') or {}
    before = _switches_before(after, document.get('changes') or [])
    return dict(before_header='%s memory switches (printer)' % port,
                after_header='%s memory switches (declared)' % port,
                before=_pin_lines(before, decoded, 'before'),
                after=_pin_lines(after, decoded, 'after'))


def main():
    argument_spec = dict(CONNECTION_ARGUMENT_SPEC)
    argument_spec.update(
        status_file=dict(type='path'),
        pins=dict(type='dict'),
        code_page=dict(type='raw'),
        verify=dict(type='bool', default=True),
    )
    module = AnsibleModule(argument_spec=argument_spec, supports_check_mode=True,
                           required_one_of=[('status_file', 'pins', 'code_page')])

    argv = talq_command(module, 'set', _set_arguments(module))
    document = run_talq(module, argv, 'talq-set/1', failed_changed='setStatus')
    changes = document.get('changes') or []
    result = dict(
        changed=len(changes) > 0,
        port=document.get('port'),
        model=document.get('model'),
        switches=document.get('switches'),
        changes=changes,
        decoded=document.get('decoded') or {},
        set_status=bool(document.get('setStatus')),
        verify=document.get('verify'),
    )
    if document.get('nextLineSettings'):
        result['next_line_settings'] = document['nextLineSettings']
    if module._diff:
        result['diff'] = _diff(module.params['port'], document)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
