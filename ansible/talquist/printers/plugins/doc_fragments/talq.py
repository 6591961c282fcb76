# -*- coding: utf-8 -*-
# The options every module of the collection shares: which printer, on which port, and how
# the line is set up, exactly as the talq command line takes them.
from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
options:
  port:
    description:
      - The port of the printer on the managed host, as C(talq ports) lists it
        (C(COM1) .. C(COM10), C(LPT1) .. C(LPT3), or a USB entry).
    type: str
    required: true
  model:
    description:
      - The printer model, C(KTV-520plus), C(KTV-540/542), C(KTV-520plusF), or C(0), C(1), C(2).
      - A printer that does not identify as this model fails the host and is left untouched.
    type: str
    required: true
  baud:
    description:
      - Baud rate of a serial port; one of the model's rates.
      - Default is talq's (19200, or 115200 on the KTV-540/542).
    type: int
  data_bits:
    description: Data bits of a serial port. Default is talq's (8).
    type: int
    choices: [7, 8]
  parity:
    description: Parity of a serial port. Default is talq's (None).
    type: str
    choices: ['None', 'Odd', 'Even']
  stop_bits:
    description: Stop bits of a serial port. Default is talq's (1).
    type: float
    choices: [1, 1.5, 2]
  flow:
    description: Flow control of a serial port. Default is talq's (Hardware).
    type: str
    choices: ['Hardware', 'Xon/Xoff']
  talq:
    description:
      - The talq program on the managed host; a bare name is looked up on C(PATH).
    type: path
    default: talq
requirements:
  - The talq command line (Debian package talquist-manager) on the managed host.
notes:
  - The modules run talq with C(--json) and read its result; they never speak to the printer
    themselves. talq's own rules hold, among them that print queues on the port are held aside
    while it works and given back afterwards.
  - Ports are named as on the managed host, where talq's ports file (C(talq map)) may point a
    name at another device; the environment variables C(TALQ_COM1) .. C(TALQ_COM10) and
    C(TALQ_LPT1) .. C(TALQ_LPT3) override it, for instance through the task's C(environment).
'''
