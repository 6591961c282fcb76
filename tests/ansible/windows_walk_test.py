#!/usr/bin/env python3
"""The collection on Windows hosts through ansible-core's own connection plugins: ssh (its
ssh_executable the stand-in ssh_standin.py) to hosts whose default shell is cmd and PowerShell,
and winrm (pywinrm over loopback to winrm_standin.py), with both shell types. Whatever they send
runs as the host would run it (powershell_subset.py, which refuses anything outside the
PowerShell the plugins emit) in a Wine prefix, with talq.exe as the installer puts it and a
talq-printer-sim per host on a pseudo-terminal the prefix presents as COM1..COM4. A first run
with --diff changes every host and shows the pins with their words; a second changes nothing; a
--check run with other pins reports changes and the printers still hold the old. The changed=0
run is timed against the same four printers as Linux hosts.

    windows_walk_test.py --sim SIM --talq LINUX_TALQ --msi MSI --collections PATH
(it runs itself again inside scripts/wine-run.sh, with --in-prefix WORK)
"""
import argparse
import json
import os
import re
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing of the run lands in the source tree
from sim_fleet import ansible_env, run_playbook, simulators, talq_env
from winrm_standin import WinRMStandIn

HERE = os.path.dirname(os.path.abspath(__file__))
MODEL = 'KTV-520plus'
HOSTS = ['win1', 'win2', 'win3', 'win4']
FIRST_PINS = {'2.1': 1, '8.1': 1, '9.4': 1}
CHECK_PINS = {'8.1': 0, '10.2': 1}
NOWHERE = r'C:\Program Files\Nowhere\talq.exe'
WINRM_USER, WINRM_PASSWORD = 'till', 'shop'

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAIL: ' + what, file=sys.stderr)
    return condition


def write_inventory(work, name, hosts_vars):
    path = os.path.join(work, name)
    with open(path, 'w') as f:
        json.dump({'tills': {'hosts': hosts_vars, 'vars': {
            'record_dir': os.path.join(work, 'records'),
            'ansible_python_interpreter': sys.executable}}}, f)
    return path


def over_ssh(default_shell):
    # The host's default shell decides the shell type, as on a real host.
    return dict(ansible_connection='ssh', ansible_shell_type=default_shell,
                ansible_ssh_executable=os.path.join(HERE, 'ssh_standin.py'))


def over_winrm(port, shell_type):
    return dict(ansible_connection='winrm', ansible_shell_type=shell_type,
                ansible_host='127.0.0.1', ansible_port=port, ansible_user=WINRM_USER,
                ansible_password=WINRM_PASSWORD, ansible_winrm_transport='basic',
                ansible_winrm_scheme='http')


def windows_inventory(work, status_file, winrm_port, ssh_hosts):
    # Each ssh host's default shell, for the stand-in.
    with open(ssh_hosts, 'w') as f:
        json.dump({'win1': 'cmd', 'win2': 'powershell', 'win5': 'cmd', 'win6': 'powershell'}, f)
    base = dict(talq_model=MODEL, talq_env={}, talq_pins=FIRST_PINS)
    hosts = {
        'win1': dict(base, talq_port='COM1', **over_ssh('cmd')),
        'win2': dict(base, talq_port='COM2', **over_ssh('powershell')),
        # A path with PowerShell's quotes, a cmd operator and letters outside any code page.
        'win3': dict(base, talq_port='COM3', talq_status_file='Z:' + status_file.replace('/', '\\'),
                     **over_winrm(winrm_port, 'powershell')),
        # The port by another name, through the environment (a backslash, quotes and $ in it).
        'win4': dict(base, talq_port='COM7', **over_winrm(winrm_port, 'cmd')),
        # A port that carries commands for cmd and for PowerShell; hosts without talq.
        'win5': dict(base, talq_port="COM5&echo injected>%s' ; Set-Content -Path '%s' -Value x ; '"
                     % (injected_path(work), injected_path(work)), **over_ssh('cmd')),
        'win6': dict(base, talq_port='COM1', talq_program=NOWHERE, **over_ssh('powershell')),
        'win7': dict(base, talq_port='COM1', talq_program=NOWHERE, **over_winrm(winrm_port, 'cmd')),
    }
    hosts['win3'].pop('talq_pins')
    hosts['win4']['talq_env'] = {'TALQ_COM7': '\\\\.\\COM4', 'SHOP_NOTE': "Bob's \u2018till\u2019 $(x)"}
    for name in ('win1', 'win2', 'win5', 'win6'):
        hosts[name]['ansible_host'] = name
    return write_inventory(work, 'windows.json', hosts)


def injected_path(work):
    return 'Z:' + os.path.join(work, 'injected').replace('/', '\\')


def failure_of(run, host):
    found = re.search(r'^fatal: \[%s\]: FAILED! => (.*)$' % host, run.stdout, re.M)
    return json.loads(found.group(1)) if found else {}


def linux_inventory(work, talq, links):
    hosts = {}
    nowhere = dict((k, v) for k, v in talq_env(work).items() if k.startswith('TALQ_'))
    for i, name in enumerate(HOSTS, start=1):
        hosts['linux%d' % i] = dict(talq_port='COM%d' % i, talq_model=MODEL, talq_program=talq,
                                    talq_pins=FIRST_PINS, ansible_connection='local',
                                    talq_env=dict(nowhere, **{'TALQ_COM%d' % i: links[name]}))
    return write_inventory(work, 'linux.json', hosts)


def records(work):
    found = {}
    folder = os.path.join(work, 'records')
    for name in os.listdir(folder):
        with open(os.path.join(folder, name)) as f:
            found[name[:-len('.json')]] = json.load(f)
        os.remove(os.path.join(folder, name))
    return found


def playbook(env, inventory, *options):
    start = time.monotonic()
    run, recap = run_playbook(env, inventory, os.path.join(HERE, 'switches.yml'), *options)
    return run, recap, time.monotonic() - start


def make_status_file(talq, work):
    folder = os.path.join(work, "Bob\u2019s shop & co's", 'Caf\u00e9 \u21161')
    os.makedirs(folder)
    status_file = os.path.join(folder, 'shop.json')
    subprocess.run([talq, 'factory', '--quiet', '--model', MODEL, '-o', status_file],
                   check=True, timeout=30)
    with open(status_file) as f:
        document = json.load(f)
    document['switches']['11'][8] = 1
    with open(status_file, 'w') as f:
        json.dump(document, f)
    return status_file


def first_run(env, inventory, work):
    first, recap, _ = playbook(env, inventory, '--diff')
    check(first.returncode == 2 and all(recap.get(h) == dict(changed=1, failed=0) for h in HOSTS),
          'first run: %s\n%s%s' % (recap, first.stdout, first.stderr))
    # The port reached talq as one word, and nothing else ran.
    refused = failure_of(first, 'win5').get('msg', '')
    check(recap.get('win5', {}).get('failed') == 1 and 'unknown port' in refused
          and "echo injected>%s' ; Set-Content" % injected_path(work) in refused
          and not os.path.exists(os.path.join(work, 'injected')),
          'a port with commands in it: %s, %r, %s' % (recap.get('win5'), refused, os.listdir(work)))
    for host in ('win6', 'win7'):
        missing = failure_of(first, host)
        check(missing.get('msg', '').startswith('talq was not found on the managed host')
              and 'msiexec /i' in missing['msg'] and missing.get('rc') != 0
              and 'could not start: ' in missing.get('stderr', ''),
              '%s without talq: %s' % (host, missing))
    for line in ('-switch 2 pin 1: 0  Font: A Font (12x24)', '+switch 2 pin 1: 1  Font: B Font (9x24)',
                 '+switch 11 pin 8: 1'):
        check(re.search('^' + re.escape(line), first.stdout, re.M) is not None,
              'first run --diff lacks %r' % line)
    first_records = records(work)
    for name in HOSTS:
        result = first_records.get(name, {}).get('switches', {})
        check(result.get('set_status') is True and result.get('verify') == 'match',
              '%s: first run %s' % (name, result))
    check(first_records.get('win3', {}).get('switches', {}).get('switches', {}).get('11', [0] * 9)[8] == 1,
          'win3: the status file was not applied: %s' % first_records.get('win3'))
    return first_records


def check_mode_run(env, inventory, work, first_records):
    run, _, _ = playbook(env, inventory, '--check', '--limit', ','.join(HOSTS),
                         '-e', json.dumps({'talq_pins': CHECK_PINS, 'read_back': True}))
    check(run.returncode == 0, '--check exits %d:\n%s' % (run.returncode, run.stdout))
    checked = records(work)
    check(sorted(checked) == HOSTS, '--check recorded %s' % sorted(checked))
    for name, record in checked.items():
        held = first_records.get(name, {}).get('switches', {}).get('switches')
        check(record['switches'].get('changed') is True and record['switches'].get('set_status') is False,
              '--check, %s: %s' % (name, record['switches']))
        check(record['info'].get('switches') == held,
              '--check, %s: the printer now holds %s, not %s' % (name, record['info'].get('switches'), held))


def walk_in_prefix(args):
    work = args.in_prefix
    os.makedirs(os.path.join(work, 'records'))
    env = ansible_env(work, args.collections, forks=4)
    # talq.exe takes the prefix's COM ports; each Linux host gets its ports in talq_env.
    env = dict((k, v) for k, v in env.items() if not k.startswith('TALQ_'))
    runner_log = os.path.join(work, 'refused.log')
    open(runner_log, 'w').close()
    env.update(TALQ_SSH_HOSTS=os.path.join(work, 'ssh-hosts.json'), TALQ_RUNNER_LOG=runner_log,
               NO_PROXY='127.0.0.1', no_proxy='127.0.0.1')
    status_file = make_status_file(args.talq, work)
    with WinRMStandIn(WINRM_USER, WINRM_PASSWORD, os.environ['WINE'], os.environ['WINEPREFIX'],
                      runner_log) as winrm:
        inventory = windows_inventory(work, status_file, winrm.port, env['TALQ_SSH_HOSTS'])
        first_records = first_run(env, inventory, work)
        second, recap, windows_seconds = playbook(env, inventory, '--limit', ','.join(HOSTS))
        check(second.returncode == 0 and all(recap.get(h) == dict(changed=0, failed=0) for h in HOSTS),
              'second run: %s\n%s' % (recap, second.stdout))
        records(work)
        check_mode_run(env, inventory, work, first_records)
    with open(runner_log) as f:
        refused = f.read()
    check(not refused, 'commands outside the PowerShell subset:\n' + refused)

    # The same four printers as Linux hosts, the changed=0 run timed alike.
    linux = linux_inventory(work, args.talq, json.loads(args.links))
    playbook(env, linux)
    records(work)
    again, recap, linux_seconds = playbook(env, linux)
    check(again.returncode == 0 and all(v == dict(changed=0, failed=0) for v in recap.values()),
          'Linux changed=0 run: %s\n%s' % (recap, again.stdout))
    records(work)
    print('changed=0 over 4 hosts: Windows (Wine) %.1f s, Linux %.1f s, ratio %.1f'
          % (windows_seconds, linux_seconds, windows_seconds / linux_seconds))
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser()
    for option in ('--sim', '--talq', '--msi', '--collections'):
        parser.add_argument(option, required=True)
    parser.add_argument('--in-prefix')
    parser.add_argument('--links')
    args = parser.parse_args()
    if args.in_prefix:
        status = walk_in_prefix(args)
        print('%d check(s) failed' % len(failures) if failures else 'all checks passed',
              file=sys.stderr if failures else sys.stdout)
        return status
    args.sim, args.talq, args.msi, args.collections = map(
        os.path.abspath, (args.sim, args.talq, args.msi, args.collections))
    with tempfile.TemporaryDirectory(prefix='talq-ansible-wine-') as work:
        links = {name: os.path.join(work, name) for name in HOSTS}
        try:
            with simulators(args.sim, MODEL, links.values()):
                ports = ' '.join('com%d=%s' % (i, links[name]) for i, name in enumerate(HOSTS, 1))
                run = subprocess.run(
                    [os.path.join(HERE, '..', '..', 'scripts', 'wine-run.sh'), '--script',
                     os.path.join(HERE, 'windows_walk_steps.sh'), args.msi, sys.executable,
                     os.path.abspath(__file__), '--sim', args.sim, '--talq', args.talq,
                     '--msi', args.msi, '--collections', args.collections,
                     '--in-prefix', os.path.join(work, 'in-prefix'), '--links', json.dumps(links)],
                    env=dict(os.environ, TALQ_WINE_PORTS=ports), timeout=900)
                check(run.returncode == 0, 'the walk in the Wine prefix exits %d' % run.returncode)
        except RuntimeError as error:
            check(False, str(error))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
