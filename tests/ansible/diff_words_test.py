#!/usr/bin/env python3
"""The words the collection shows for talq's documents: memory_switches' diff over talq set
documents it may meet (a code page that matches no entry of the list, its name null, and fields
it does not know, shown rather than failed on), and the printers a `port: usb` that reaches
several names, by the identities talq ports gives them.

    diff_words_test.py --collections ANSIBLE_COLLECTIONS_PATH
(under the Python that runs ansible-playbook, which it starts itself when needed)
"""
import argparse
import os
import shutil
import sys
import warnings

sys.dont_write_bytecode = True

try:
    import ansible  # noqa: F401  the action plugins import it
except ImportError:
    interpreter = open(shutil.which('ansible-playbook')).readline()[2:].split()
    os.execv(interpreter[0] if len(interpreter) == 1 else '/usr/bin/env',
             interpreter + [os.path.abspath(__file__)] + sys.argv[1:])

SWITCHES = {key: [0] * 9 for key in ('1', '2', '8', '9', '10', '11')}
CASES = [
    # decoded, changes, lines expected before, lines expected after
    ({'codePage': {'before': {'index': 0, 'name': 'PC437 (USA, Standard Europe)'},
                   'after': {'index': 44, 'name': None}}},
     [], ['codePage: PC437 (USA, Standard Europe)'], ['codePage: code page 44 (matches no entry)']),
    ({'codePage': {'before': {'index': 44}, 'after': {'index': 0, 'name': 'PC437', 'entry': 1}},
      'serial': {'before': {'baud': '9600', 'parity': None}, 'after': {'baud': '19200'}},
      'future': True},
     [{'switch': 12, 'pin': 1, 'before': 1, 'after': 0}, {'pin': 'x'}],
     ['codePage: code page 44 (matches no entry)', 'serial: baud 9600', 'future: True'],
     ['codePage: PC437', 'serial: baud 19200', 'future: True']),
]

USB_PORTS = [
    {'name': 'COM1', 'interface': 'serial', 'identity': 'usb:serial=FT1'},
    {'name': '520plus:/dev/usb/lp0', 'interface': 'usb', 'identity': 'usb:serial=A1B2C3'},
    {'name': '520plus:/dev/usb/lp1', 'interface': 'usb', 'identity': 'usb:path=1-1.3'},
    {'name': '540/542:/dev/usb/lp2', 'interface': 'usb', 'identity': None},
]
USB_CASES = [
    # talq ports --json, talq get --json, the task's message (None: no failure)
    (USB_PORTS, None,
     'port usb would reach 3 printers (usb:serial=A1B2C3, usb:path=1-1.3, 540/542:/dev/usb/lp2): '
     'name one of them as port, so each task writes one printer'),
    (USB_PORTS[:2], None, None),
    # A printer plugged in between the two commands keeps its port's name.
    (USB_PORTS[:2], [{'port': '520plus:/dev/usb/lp0'}, {'port': '520plus:/dev/usb/lp3'}],
     'port usb reached 2 printers (usb:serial=A1B2C3, 520plus:/dev/usb/lp3): name one of them, '
     'as talq ports lists it'),
]


def usb_failures(action_module, talq_failure):
    """What each of USB_CASES made a task say, against its expectation."""
    failures = []
    for ports, documents, expected in USB_CASES:
        # The action as ansible-core would run it, with talq's answers in place of the host's.
        action = object.__new__(action_module)
        answers = [ports] + ([documents] if documents else [])
        action.talq_program = lambda params: 'talq'
        action.run_talq = lambda params, argv: (0, answers.pop(0), '', '', ' '.join(argv))
        params = dict(port='usb', model='KTV-520plus')
        said = None
        try:
            action.refuse_several_usb(params)
            if documents:
                action.expect_document(params, ['talq', 'get'], 'talq-status/1')
        except talq_failure as failure:
            said = failure.msg
        if said != expected:
            failures.append('port usb over %d USB printers: %r' % (len(ports) - 1, said))
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--collections', required=True)
    # Collections load through ansible-core's own finder, as in a play (which its plugin
    # loader then finds in place).
    warnings.filterwarnings('ignore', 'AnsibleCollectionFinder has already been configured')
    from ansible.utils.collection_loader._collection_finder import _AnsibleCollectionFinder
    _AnsibleCollectionFinder(paths=[os.path.abspath(parser.parse_args().collections)])._install()
    from ansible_collections.talquist.printers.plugins.action.memory_switches import diff
    from ansible_collections.talquist.printers.plugins.action.printer_info import ActionModule
    from ansible_collections.talquist.printers.plugins.plugin_utils.talq import TalqFailure
    failures = usb_failures(ActionModule, TalqFailure)
    for decoded, changes, before, after in CASES:
        document = dict(model='KTV-540/542', switches=SWITCHES, decoded=decoded, changes=changes)
        try:
            shown = diff('COM1', document)
            got = [line for line in shown['before'].splitlines() if not line.startswith('switch')], \
                [line for line in shown['after'].splitlines() if not line.startswith('switch')]
        except Exception as error:  # what a host would see as the module's crash
            got = repr(error)
        if got != (sorted(before), sorted(after)):
            failures.append('%s: %r' % (decoded, got))
    for failure in failures:
        print('FAIL: ' + failure, file=sys.stderr)
    cases = len(CASES) + len(USB_CASES)
    print('%d passed, %d failed' % (cases - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
