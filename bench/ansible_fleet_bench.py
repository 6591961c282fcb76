#!/usr/bin/env python3
"""A playbook over a fleet of simulated printers: 1 host, then 16 hosts with 16 forks, each
with its own talq-printer-sim on COM1. Prints the wall time of a run that changes the pins
(written and verified) and of one that finds nothing to change (median of three), the ratio of 16 hosts to one,
and what Ansible adds over talq run directly on as many printers at once (wall and CPU).

    ansible_fleet_bench.py --talq TALQ --sim TALQ_PRINTER_SIM --collections PATH --helpers DIR
"""
import argparse
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

MODEL = 'KTV-520plus'
PINS = {'2.3': 1, '8.1': 1}
HERE = os.path.dirname(os.path.abspath(__file__))
REPEATS = 3  # the runs with nothing to change are repeated; their median counts


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(action):
    """Wall and CPU seconds (of every child process) of ACTION, and its result."""
    wall, cpu = time.monotonic(), children_cpu()
    result = action()
    return time.monotonic() - wall, children_cpu() - cpu, result


def median_of(times, measure):
    """The run of median wall time among TIMES runs of MEASURE."""
    runs = sorted((measure() for _ in range(times)), key=lambda run: run[0])
    return runs[len(runs) // 2]


def talq_directly(talq, env, links):
    """talq set --json on every printer at once, as the playbook's modules run it."""
    runs = []
    for link in links:
        command = [talq, 'set', '--quiet', '--json', '--model', MODEL, '--port', 'COM1']
        for key, value in PINS.items():
            command += ['--pin', '%s=%s' % (key, value)]
        runs.append(subprocess.Popen(command, env=dict(env, TALQ_COM1=link),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE))
    codes = [run.wait(timeout=120) for run in runs]
    if any(codes):
        raise RuntimeError('talq set exits %s' % codes)


def fleet(args, sim_fleet, count):
    with tempfile.TemporaryDirectory(prefix='talq-ansible-bench-') as work:
        links = [os.path.join(work, 'printer%02d' % n) for n in range(1, count + 1)]
        env = sim_fleet.ansible_env(work, args.collections, forks=count)
        hosts = {'printer%02d' % n: {'talq_env': {'TALQ_COM1': link}}
                 for n, link in enumerate(links, start=1)}
        inventory = os.path.join(work, 'inventory.json')
        with open(inventory, 'w') as f:
            json.dump({'printers': {'hosts': hosts, 'vars': {
                'ansible_connection': 'local', 'ansible_python_interpreter': sys.executable,
                'talq_program': args.talq, 'talq_model': MODEL, 'talq_pins': PINS}}}, f)
        playbook = os.path.join(HERE, 'ansible_fleet.yml')

        def run_playbook():
            run, recap = sim_fleet.run_playbook(env, inventory, playbook)
            if run.returncode != 0 or len(recap) != count:
                raise RuntimeError('ansible-playbook exits %d:\n%s%s'
                                   % (run.returncode, run.stdout, run.stderr))
            return sum(host['changed'] for host in recap.values())

        figures = {}
        with sim_fleet.simulators(args.sim, MODEL, links):
            figures['change'] = timed(run_playbook)
            figures['unchanged'] = median_of(REPEATS, lambda: timed(run_playbook))
            if figures['change'][2] != count or figures['unchanged'][2] != 0:
                raise RuntimeError('changed counts %d, %d' % (figures['change'][2],
                                                             figures['unchanged'][2]))
            figures['talq'] = median_of(REPEATS, lambda: timed(
                lambda: talq_directly(args.talq, env, links)))
        return figures


def main():
    parser = argparse.ArgumentParser()
    for option in ('--talq', '--sim', '--collections', '--helpers'):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    for name in ('talq', 'sim', 'collections', 'helpers'):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    sys.dont_write_bytecode = True
    sys.path.insert(0, args.helpers)
    import sim_fleet

    results = {count: fleet(args, sim_fleet, count) for count in (1, 16)}
    print('Ansible playbook, memory_switches on N simulated printers (local connection, N forks)')
    print('%-34s %10s %10s' % ('', 'N = 1', 'N = 16'))
    for key, caption in (('change', 'run that writes and verifies, s'),
                         ('unchanged', 'run with nothing to change, s'),
                         ('talq', 'talq set directly, unchanged, s')):
        print('%-34s %10.2f %10.2f' % (caption, results[1][key][0], results[16][key][0]))
    for key, caption in (('change', 'wall 16 / wall 1, writing'),
                         ('unchanged', 'wall 16 / wall 1, unchanged')):
        print('%-34s %21.2f' % (caption, results[16][key][0] / results[1][key][0]))
    for count in (1, 16):
        unchanged, direct = results[count]['unchanged'], results[count]['talq']
        print('N = %-2d Ansible adds %.2f s wall, %.2f s CPU (playbook %.2f s CPU, talq %.2f s)'
              % (count, unchanged[0] - direct[0], unchanged[1] - direct[1], unchanged[1],
                 direct[1]))
    return 0


if __name__ == '__main__':
    sys.exit(main())
