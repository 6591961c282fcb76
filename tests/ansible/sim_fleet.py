"""Simulated printers and a private Ansible setup, shared by the collection's test and its
benchmark: every printer is a talq-printer-sim on a pseudo-terminal, every port name points
at one of them or at a path that does not exist, and Ansible keeps its state in the scratch
folder."""
import contextlib
import os
import re
import select
import subprocess


class Simulator:
    """A talq-printer-sim reached through LINK; stopped by its process id."""

    def __init__(self, sim, model, link):
        self.link = link
        self.process = subprocess.Popen([sim, '--model', model, '--link', link],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def wait_ready(self, seconds=5):
        ready, _, _ = select.select([self.process.stdout], [], [], seconds)
        return bool(ready) and self.process.stdout.readline().startswith(b'/dev/pts/')

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=5)


@contextlib.contextmanager
def simulators(sim, model, links):
    """One simulator per link, all ready, or RuntimeError; stopped on leaving."""
    started = []
    try:
        for link in links:
            started.append(Simulator(sim, model, link))
        if not all(s.wait_ready() for s in started):
            raise RuntimeError('a talq-printer-sim did not start')
        yield started
    finally:
        for s in started:
            s.stop()


def talq_env(work):
    # Every port name points at a path that does not exist; each host maps its own.
    env = dict(os.environ, XDG_STATE_HOME=os.path.join(work, 'state'),
               XDG_CONFIG_HOME=os.path.join(work, 'config'))
    for n in range(1, 11):
        env['TALQ_COM%d' % n] = os.path.join(work, 'nowhere', 'COM%d' % n)
    for n in range(1, 4):
        env['TALQ_LPT%d' % n] = os.path.join(work, 'nowhere', 'LPT%d' % n)
    return env


def ansible_env(work, collections, forks):
    home = os.path.join(work, 'ansible-home')
    config = os.path.join(work, 'ansible.cfg')
    open(config, 'w').close()
    env = talq_env(work)
    env.update(ANSIBLE_CONFIG=config, ANSIBLE_HOME=home,
               ANSIBLE_LOCAL_TEMP=os.path.join(home, 'tmp'),
               ANSIBLE_REMOTE_TEMP=os.path.join(home, 'remote-tmp'),
               ANSIBLE_COLLECTIONS_PATH=collections, ANSIBLE_COLLECTIONS_SCAN_SYS_PATH='false',
               ANSIBLE_NOCOLOR='1', ANSIBLE_FORCE_COLOR='0', ANSIBLE_RETRY_FILES_ENABLED='0',
               ANSIBLE_DEPRECATION_WARNINGS='0', ANSIBLE_LOCALHOST_WARNING='0',
               ANSIBLE_FORKS=str(forks))
    return env


def run_playbook(env, inventory, playbook, *options):
    """The finished ansible-playbook and its recap: host -> {changed, failed}."""
    run = subprocess.run(['ansible-playbook', '-i', inventory, playbook] + list(options),
                         env=env, capture_output=True, text=True, timeout=300,
                         cwd=os.path.dirname(inventory))
    recap = {}
    for m in re.finditer(r'^(\S+)\s*: ok=(\d+)\s+changed=(\d+)\s+unreachable=(\d+)\s+failed=(\d+)',
                         run.stdout, re.M):
        recap[m.group(1)] = dict(changed=int(m.group(3)), failed=int(m.group(5)))
    return run, recap
