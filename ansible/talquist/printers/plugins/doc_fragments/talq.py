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
      - A USB printer, or a serial printer behind a USB serial adapter, can also be named by
        its identity, which stays with it when its device node or COM number moves and tells
        two printers of one model apart, C(usb:serial=A1B2C3) (its serial number) or
        C(usb:path=1-1.3) (where it is plugged in), as C(talq ports) shows it.
      - C(usb) stands for the host's one USB printer; when talq finds several, the host fails
        before anything is sent, naming each by its identity, to put one of them in C(port).
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
  talq_path:
    description:
      - The talq program on the managed host; a bare name is looked up on the host's C(PATH).
      - Default C(talq) on Linux hosts, and C(C:\Program Files\Talquist Manager\talq.exe),
        where the installer puts it, on Windows hosts (shell type C(cmd) or C(powershell)).
      - A host without it fails with a message saying so.
    type: str
    aliases: [talq]
requirements:
  - The talq command line on the managed host (Linux, the Debian package talquist-manager;
    Windows, C(talquist-manager-<version>-x64.msi)). No Python is needed there.
notes:
  - Works on Linux hosts (any connection with a POSIX shell, local or ssh) and on Windows hosts
    over WinRM, PSRP or OpenSSH with C(ansible_shell_type) C(cmd) or C(powershell). talq runs over
    the host's connection from the controller, each word quoted (by the shell plugin on Linux; on
    Windows, where every connection runs PowerShell, as a PowerShell literal), so no value is
    taken for an option or a second command.
  - The task's C(environment) reaches talq on every kind of host.
  - The modules run talq with C(--json) and read its result; they never speak to the printer
    themselves. talq's own rules hold, among them that print queues on the port are held aside
    while it works and given back afterwards.
  - Ports are named as on the managed host, where talq's ports file (C(talq map)) may point a
    name at another device; the environment variables C(TALQ_COM1) .. C(TALQ_COM10) and
    C(TALQ_LPT1) .. C(TALQ_LPT3) override it, for instance through the task's C(environment).
'''
