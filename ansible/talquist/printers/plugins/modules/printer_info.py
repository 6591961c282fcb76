# -*- coding: utf-8 -*-
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: printer_info
short_description: Read a KTV receipt printer's switches and identity as facts
version_added: 3.0.6
description:
  - Reads the printer's memory switches, the code page and serial settings they select, and
    the firmware version and model name the printer reports, through C(talq get --json) on the
    managed host, run over the host's connection by the collection's action plugin; the host
    needs talq but no Python.
  - The result is set as the fact C(talq_printer) and returned as well; register the result
    when one host has several printers. Nothing on the printer changes.
extends_documentation_fragment:
  - talquist.printers.talq
attributes:
  check_mode:
    support: full
    description: Only reads; runs the same in check mode.
  diff_mode:
    support: none
  facts:
    support: full
author:
  - Talquist Manager developers (@talquist)
'''

EXAMPLES = r'''
- name: Read the receipt printer
  talquist.printers.printer_info:
    port: "{{ talq_port }}"
    model: "{{ talq_model }}"

- name: Firmware of every terminal's printer
  ansible.builtin.debug:
    msg: "{{ talq_printer.firmware_version }} ({{ talq_printer.model_name }})"
'''

RETURN = r'''
ansible_facts:
  description: The printer, as the fact C(talq_printer) holding the fields below.
  returned: success
  type: dict
  contains:
    talq_printer:
      description: Port, model, switches, code_page, serial, firmware_version, model_name.
      type: dict
      returned: success
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
  description: The memory switches by switch number; nine integers each, index 0 unused, then pin 1 .. pin 8.
  returned: success
  type: dict
  sample: {"1": [0, 1, 0, 0, 0, 0, 0, 0, 0], "2": [0, 0, 1, 0, 0, 0, 0, 0, 0]}
code_page:
  description: The code page the switches select; a null name when they select no list entry.
  returned: success
  type: dict
  sample: {"index": 0, "name": "PC437 (USA: Standard Europe)"}
serial:
  description: The serial settings (baud, dataBits, parity, flowControl); null when unknown.
  returned: success
  type: dict
  sample: {"baud": "19200", "dataBits": "8", "parity": "None", "flowControl": "DTR/DSR"}
firmware_version:
  description: The firmware version the printer reports.
  returned: success
  type: str
  sample: Ver 1.05
model_name:
  description: The model name the printer reports.
  returned: success
  type: str
  sample: KTV-520plus
msg:
  description: Why the host failed, in talq's words (without its C(talq:) prefix).
  returned: failure
  type: str
rc:
  description:
    - talq's exit code (2 usage, 3 port, 4 not identified, 5 exchange), or 127 when talq could
      not be started (1 over ssh to a Windows host whose default shell is PowerShell).
  returned: failure
  type: int
  sample: 3
stderr:
  description: talq's messages.
  returned: failure
  type: str
'''

# The work is done by the action plugin of the same name (plugins/action/printer_info.py),
# on the controller; this file holds the documentation.
