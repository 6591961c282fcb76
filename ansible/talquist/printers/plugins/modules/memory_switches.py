# -*- coding: utf-8 -*-
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: memory_switches
short_description: Keep the memory switches of a KTV receipt printer as declared
version_added: 3.0.6
description:
  - Reads the printer's memory switches, applies a status file, single pins, settings by their
    words and a code page, and writes the switches only when a pin the printer receives would change, so repeated
    runs change nothing.
  - Works through C(talq set --json) on the managed host, run over the host's connection by the
    collection's action plugin; the host needs talq but no Python.
  - In check mode talq reads the printer and stops at the difference; nothing is sent.
  - 'With C(--diff) every pin is shown before and after with its words as talq shows them
    (C(switch 2 pin 1: 1  Font: B Font (9x24))), and any decoded setting that changes.'
extends_documentation_fragment:
  - talquist.printers.talq
options:
  status_file:
    description:
      - A status file on the managed host (not the controller) to apply first, a 216-byte
        C(.sts) or talq's C(.json) (as C(talq get -o) writes). A file written for another model
        is refused. A relative path is taken from the directory the connection starts in; give
        an absolute one.
      - Of switch 1 the printer receives pins 4 and 5 only; its other pins keep the
        printer's values.
    type: path
  pins:
    description:
      - 'Pins to set after the file, as C(SWITCH.PIN) mapped to C(0) or C(1), for example
        C({"2.3": 1, "8.1": 0}).'
      - A pin the model reserves (C([PIN 5] Reserved) in C(talq show)) is set as given, with
        talq's warning shown as the task's warning.
    type: dict
  settings:
    description:
      - 'Settings to make after the file, by the captions and words C(talq show) prints for the
        model, for example C({"Paper width": "2 inch", "Auto Cutter": "Full Cut"}); passed to
        C(talq set --setting). Letters in any case; a caption may end in C(:) as C(talq show)
        prints it.'
      - A caption that several pins share (C(User Setting)) is narrowed to one pin as talq names
        the candidates, C(switch 8 [PIN 1] User Setting).
      - C(default code page) takes what I(code_page) takes; on a KTV-540/542 C(baud),
        C(data bits), C(parity) and C(flow control) take what the I(printer_baud) ..
        I(printer_flow) options take.
      - An unknown or ambiguous caption, or a word the pin does not have, fails the task with
        talq's message listing the candidates; so does a pin that I(pins) or another option
        sets as well.
    type: dict
  code_page:
    description:
      - The code page to select after the pins, as a number C(0) .. C(36), the list text, or
        its first word such as C(PC850).
      - A pin of I(pins) that the code page sets as well is refused; give one of them.
    type: raw
  printer_baud:
    description:
      - The printer's own baud rate to set, as C(talq set --printer-baud); KTV-540/542 only,
        whose serial settings are kept with its switches. Reach it with I(next_line_settings)
        afterwards.
    type: int
  printer_data_bits:
    description: The printer's own data bits (KTV-540/542), as C(talq set --printer-data-bits).
    type: int
    choices: [7, 8]
  printer_parity:
    description: The printer's own parity (KTV-540/542), as C(talq set --printer-parity).
    type: str
    choices: ['None', 'Odd', 'Even']
  printer_flow:
    description: The printer's own flow control (KTV-540/542), as C(talq set --printer-flow).
    type: str
    choices: ['DTR/DSR', 'Xon/Xoff']
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
    description: The pins of every switch before and after, with their words and any decoded setting that changes.
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

- name: Settings by the words talq show prints
  talquist.printers.memory_switches:
    port: COM1
    model: KTV-520plus
    settings:
      Paper width: 2 inch
      Auto Cutter: Full Cut
      switch 8 [PIN 1] User Setting: Enable
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
    - When the run changes the printer's serial settings, the line settings to reach it with
      afterwards, keyed and typed as the module's options take them (baud, data_bits, parity,
      flow).
  returned: when the serial settings change
  type: dict
  sample: {"baud": 9600, "data_bits": 8, "parity": "None", "flow": "Hardware"}
msg:
  description: Why the host failed, in talq's words (without its C(talq:) prefix).
  returned: failure
  type: str
  sample: "the printer was not identified as a KTV-540/542"
rc:
  description:
    - talq's exit code (2 usage, 3 port, 4 not identified, 5 exchange, 6 verify, 7 file), or
      127 when talq could not be started (1 over ssh to a Windows host whose default shell is
      PowerShell).
  returned: failure
  type: int
  sample: 4
stderr:
  description: talq's messages.
  returned: failure
  type: str
'''

# The work is done by the action plugin of the same name (plugins/action/memory_switches.py),
# on the controller; this file holds the documentation.
