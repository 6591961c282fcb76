#!/usr/bin/env python3
"""The collection talquist.printers through the real ansible-playbook.

Four tills on the local connection, each with its own talq-printer-sim on a pseudo-terminal
(the fourth declared as another model than its printer), and a fifth without talq. One walk: a
first run with --diff changes the three good tills (pins, a code page, a status file and
settings by their words), fails the fourth with talq's message, the fifth with one that says
talq is missing, and a misspelt setting with talq's candidates; the pins are read back
with talq itself; a second run changes nothing; a --check run reports changes and sends
nothing; ansible-doc renders each module.

    collection_test.py --talq TALQ --sim TALQ_PRINTER_SIM --collections ANSIBLE_COLLECTIONS_PATH
"""
import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing of the run lands in the source tree
from sim_fleet import ansible_env, run_playbook, simulators

HERE = os.path.dirname(os.path.abspath(__file__))
MODEL = 'KTV-520plus'
GOOD = ['till1', 'till2', 'till3']
WRONG = 'till4'
NO_TALQ = 'till5'
INJECTED = 'till6'  # a port that carries a second command
NO_PRINTER_BAUD = 'till7'  # the printer's own baud, which only the KTV-540/542 takes from talq
MISSPELT = 'till8'  # a setting whose caption the model lacks
FIRST_PINS = {'2.3': 1, '8.1': 1, '9.4': 1}
CHECK_PINS = {'8.1': 0, '10.2': 1}
TILL2_PINS = {'8.1': 1, '9.4': 1}  # beside a code page, whose pins include 2.3
# After the status file, by the words talq show prints, as a user copies them from it.
TILL3_SETTINGS = {'Paper width:': '2 inch', 'auto cutter': 'Full Cut',
                  'Parallel reset signal(I/F Pin 31)': 'Enable'}
TILL3_SETTING_PINS = {'10.5': 1, '2.2': 1, '10.8': 1}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAIL: ' + what, file=sys.stderr)
    return condition


def write_inventory(work, talq, links, status_file):
    hosts = {}
    for index, name in enumerate(GOOD + [WRONG], start=1):
        port = 'COM%d' % index
        hosts[name] = dict(talq_port=port, talq_model=MODEL,
                           talq_env={'TALQ_' + port: links[name]})
    hosts['till1']['talq_pins'] = FIRST_PINS
    hosts['till2']['talq_pins'] = TILL2_PINS
    hosts['till2']['talq_code_page'] = 'PC850'
    hosts['till3']['talq_status_file'] = status_file
    hosts['till3']['talq_settings'] = TILL3_SETTINGS
    # till3 finds talq on PATH, as a managed host with the package installed does.
    hosts['till3']['talq_env']['PATH'] = os.path.dirname(talq) + os.pathsep + os.environ['PATH']
    hosts[WRONG]['talq_pins'] = FIRST_PINS
    hosts[WRONG]['talq_model'] = 'KTV-540/542'
    hosts[NO_TALQ] = dict(talq_port='COM5', talq_model=MODEL, talq_env={}, talq_pins=FIRST_PINS,
                          talq_program=os.path.join(work, 'nowhere', 'talq'))
    hosts[INJECTED] = dict(talq_port='COM6; touch %s' % os.path.join(work, 'injected'),
                           talq_model=MODEL, talq_env={}, talq_pins=FIRST_PINS, talq_program=talq)
    hosts[NO_PRINTER_BAUD] = dict(talq_port='COM7', talq_model=MODEL, talq_env={},
                                  talq_printer_baud=9600, talq_program=talq)
    hosts[MISSPELT] = dict(talq_port='COM8', talq_model=MODEL, talq_env={},
                           talq_settings={'Paper widht': '2 inch'}, talq_program=talq)
    for name in ('till1', 'till2', WRONG):
        hosts[name]['talq_program'] = talq
    inventory = {'tills': {'hosts': hosts, 'vars': {
        'ansible_connection': 'local', 'ansible_python_interpreter': sys.executable,
        'record_dir': os.path.join(work, 'records')}}}
    path = os.path.join(work, 'inventory.json')
    with open(path, 'w') as f:
        json.dump(inventory, f)
    return path


def playbook(env, inventory, *options):
    return run_playbook(env, inventory, os.path.join(HERE, 'switches.yml'), *options)


def records(work):
    found = {}
    folder = os.path.join(work, 'records')
    for name in os.listdir(folder):
        with open(os.path.join(folder, name)) as f:
            found[name[:-len('.json')]] = json.load(f)
        os.remove(os.path.join(folder, name))
    return found


def read_back(talq, env, ports):
    """Each till's switches as talq reads them, all ports at once."""
    runs = {name: subprocess.Popen([talq, 'get', '-q', '--json', '--model', MODEL, '--port', port],
                                   env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   text=True) for name, port in ports.items()}
    found = {}
    for name, run in runs.items():
        out, err = run.communicate(timeout=30)
        check(run.returncode == 0, '%s: talq get exits %d: %s' % (name, run.returncode, err))
        found[name] = json.loads(out) if run.returncode == 0 else {}
    return found


def with_pins(switches, pins):
    result = {key: list(values) for key, values in switches.items()}
    for key, value in pins.items():
        switch, pin = key.split('.')
        result[switch][int(pin)] = value
    return result


def same_sent_pins(a, b):
    # Of switch 1 the printer receives pins 4 and 5 only, and keeps its own others.
    return all(a[key][pin] == b[key][pin] for key in a for pin in range(1, 9)
               if key != '1' or pin in (4, 5))


def make_status_file(talq, env, work):
    path = os.path.join(work, 'shop.json')
    subprocess.run([talq, 'factory', '--model', MODEL, '-o', path], env=env, check=True,
                   capture_output=True, timeout=30)
    with open(path) as f:
        document = json.load(f)
    document['switches']['8'][2] = 1
    document['switches']['11'][8] = 1
    document.pop('codePage', None)
    document.pop('serial', None)
    with open(path, 'w') as f:
        json.dump(document, f)
    return document['switches']


def walk(args, work, links):
    env = ansible_env(work, args.collections, forks=4)
    os.makedirs(os.path.join(work, 'records'))
    file_switches = make_status_file(args.talq, env, work)
    ports = {name: 'COM%d' % i for i, name in enumerate(GOOD, start=1)}
    read_env = dict(env, **{'TALQ_' + port: links[name] for name, port in ports.items()})

    inventory = write_inventory(work, args.talq, links, os.path.join(work, 'shop.json'))
    first_records = first_run(env, inventory, work)
    if first_records is None:
        return
    landed = read_back(args.talq, read_env, ports)
    check_landed(landed, first_records, file_switches)
    second_run(env, inventory, work)
    check_mode_run(env, inventory, work, landed)
    check_docs(env)


def first_run(env, inventory, work):
    """Three tills change, shown with --diff; the fourth fails with talq's message."""
    first, recap = playbook(env, inventory, '--diff')
    check(first.returncode == 2, 'first run exits %d, not 2 (one host failed):\n%s%s'
          % (first.returncode, first.stdout, first.stderr))
    for name in GOOD:
        check(recap.get(name) == dict(changed=1, failed=0),
              'first run, %s: %s' % (name, recap.get(name)))
    check(recap.get(WRONG, {}).get('failed') == 1, 'first run, %s: %s' % (WRONG, recap.get(WRONG)))
    fatal = re.search(r'^fatal: \[%s\]: FAILED! => (.*)$' % WRONG, first.stdout, re.M)
    if check(fatal is not None, 'first run: no failure shown for ' + WRONG):
        failure = json.loads(fatal.group(1))
        check('not identified as a KTV-540/542' in failure.get('msg', ''),
              'failure message: %r' % failure.get('msg'))
        check(failure.get('rc') == 4, 'failure rc: %r' % failure.get('rc'))
    missing = re.search(r'^fatal: \[%s\]: FAILED! => (.*)$' % NO_TALQ, first.stdout, re.M)
    if check(missing is not None, 'first run: no failure shown for ' + NO_TALQ):
        failure = json.loads(missing.group(1))
        check(failure.get('msg', '').startswith('talq was not found on the managed host')
              and 'install' in failure['msg'] and failure.get('changed') is False,
              'missing talq: %r' % failure)
    check(recap.get(INJECTED, {}).get('failed') == 1
          and not os.path.exists(os.path.join(work, 'injected')),
          'a port with a second command: %s, %s' % (recap.get(INJECTED), os.listdir(work)))
    refused = re.search(r'^fatal: \[%s\]: FAILED! => (.*)$' % NO_PRINTER_BAUD, first.stdout, re.M)
    if check(refused is not None, 'first run: no failure shown for ' + NO_PRINTER_BAUD):
        failure = json.loads(refused.group(1))
        # talq's usage errors read as its port errors do, without its 'talq: ' prefix.
        check(failure.get('rc') == 2 and failure.get('msg', '').startswith('--printer-baud: '),
              'printer_baud on a KTV-520plus: %r' % failure)
    misspelt = re.search(r'^fatal: \[%s\]: FAILED! => (.*)$' % MISSPELT, first.stdout, re.M)
    if check(misspelt is not None, 'first run: no failure shown for ' + MISSPELT):
        failure = json.loads(misspelt.group(1))
        # talq's whole message, its candidates one a line.
        check(failure.get('rc') == 2 and failure.get('changed') is False
              and failure.get('msg', '').startswith(
                  '--setting "Paper widht=2 inch": the KTV-520plus has no setting "Paper widht"; '
                  'its settings:\n  User Setting\n  Font\n')
              and failure['msg'].endswith('\n  Parallel reset signal(I/F Pin 31)'),
              'a misspelt setting: %r' % failure)
    for line in ('-switch 8 pin 1: 0', '+switch 8 pin 1: 1', '+switch 9 pin 4: 1',
                 '+switch 10 pin 5: 1  Paper width: 2 inch',
                 '+switch 11 pin 8: 1', '+codePage: PC850',
                 '-switch 8 pin 1: 0  User Setting: Disable', '+switch 8 pin 1: 1  User Setting: Enable'):
        check(re.search('^' + re.escape(line), first.stdout, re.M) is not None,
              'first run --diff lacks %r' % line)
    if not recap:
        return None
    first_records = records(work)
    check(sorted(first_records) == GOOD, 'first run recorded %s' % sorted(first_records))
    return first_records


def check_landed(landed, first_records, file_switches):
    check(with_pins(landed['till1'].get('switches', {}), FIRST_PINS) == landed['till1'].get('switches'),
          'till1 reads back %s' % landed['till1'].get('switches'))
    changes = first_records.get('till1', {}).get('switches', {}).get('changes', [])
    check(changes and all(FIRST_PINS.get('%(switch)d.%(pin)d' % c) == c['after'] != c['before']
                          for c in changes), 'till1 reports the changes %s' % changes)
    for name in GOOD:
        switches = landed[name].get('switches', {})
        result = first_records.get(name, {}).get('switches', {})
        check(result.get('switches') == switches, '%s: module returned %s, printer holds %s'
              % (name, result.get('switches'), switches))
        check(result.get('set_status') is True and result.get('verify') == 'match',
              '%s: set_status %r, verify %r' % (name, result.get('set_status'), result.get('verify')))
    check(with_pins(landed['till2'].get('switches', {}), TILL2_PINS) == landed['till2'].get('switches')
          and landed['till2'].get('codePage', {}).get('name', '').startswith('PC850'),
          'till2 reads back %s' % landed['till2'])
    check(same_sent_pins(with_pins(file_switches, TILL3_SETTING_PINS),
                         landed['till3'].get('switches', {})),
          'till3 reads back %s, the file holds %s' % (landed['till3'].get('switches'), file_switches))


def second_run(env, inventory, work):
    second, recap = playbook(env, inventory, '--limit', ','.join(GOOD))
    check(second.returncode == 0, 'second run exits %d:\n%s' % (second.returncode, second.stdout))
    for name in GOOD:
        check(recap.get(name) == dict(changed=0, failed=0), 'second run, %s: %s'
              % (name, recap.get(name)))
    records(work)


def check_mode_run(env, inventory, work, landed):
    """Other pins in check mode: reported as changes, and the printers still hold the old."""
    run, _ = playbook(env, inventory, '--check', '--limit', ','.join(GOOD),
                                '-e', json.dumps({'talq_pins': CHECK_PINS, 'read_back': True}))
    check(run.returncode == 0, '--check exits %d:\n%s' % (run.returncode, run.stdout))
    for name, record in records(work).items():
        check(record['switches'].get('changed') is True
              and record['switches'].get('set_status') is False,
              '--check, %s: changed %r, set_status %r' % (name, record['switches'].get('changed'),
                                                         record['switches'].get('set_status')))
        check(record['switches'].get('switches') == with_pins(landed[name]['switches'], CHECK_PINS),
              '--check, %s: would write %s' % (name, record['switches'].get('switches')))
        check(record['info'].get('switches') == landed[name]['switches'],
              '--check, %s: the printer now holds %s' % (name, record['info'].get('switches')))
        check(record['info'].get('changed') is False, '--check, %s: printer_info changed' % name)
        fact = record.get('fact') or {}
        check(fact.get('model_name') == MODEL and fact.get('firmware_version'),
              '--check, %s: fact talq_printer is %s' % (name, fact))


def check_docs(env):
    doc = subprocess.run(['ansible-doc', 'talquist.printers.memory_switches',
                          'talquist.printers.printer_info'],
                         env=env, capture_output=True, text=True, timeout=60)
    check(doc.returncode == 0, 'ansible-doc exits %d: %s' % (doc.returncode, doc.stderr))
    for text in ('TALQUIST.PRINTERS.MEMORY_SWITCHES', 'TALQUIST.PRINTERS.PRINTER_INFO',
                 'status_file', 'firmware_version', 'EXAMPLES', 'RETURN VALUES'):
        check(text in doc.stdout, 'ansible-doc lacks %r' % text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--talq', required=True)
    parser.add_argument('--sim', required=True)
    parser.add_argument('--collections', required=True)
    args = parser.parse_args()
    args.talq, args.sim, args.collections = map(os.path.abspath,
                                                (args.talq, args.sim, args.collections))
    with tempfile.TemporaryDirectory(prefix='talq-ansible-') as work:
        links = {name: os.path.join(work, name) for name in GOOD + [WRONG]}
        try:
            with simulators(args.sim, MODEL, links.values()):
                walk(args, work, links)
        except RuntimeError as error:
            check(False, str(error))
    if failures:
        print('%d check(s) failed' % len(failures), file=sys.stderr)
        return 1
    print('all checks passed')
    return 0


if __name__ == '__main__':
    sys.exit(main())
