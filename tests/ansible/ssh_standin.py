#!/usr/bin/env python3
"""A stand-in for ssh and the Windows host behind it, given to ansible-core's own ssh connection
as ansible_ssh_executable: it takes exactly the arguments ssh would, and the command ssh would
send is run as that host's default shell runs it (powershell_subset.py), in the Wine prefix of
the run. $TALQ_SSH_HOSTS names a JSON file: host -> its default shell, "cmd" or "powershell".
A command outside the subset is refused with exit code 255, as ssh fails, and logged to
$TALQ_RUNNER_LOG.

    ssh_standin.py [ssh options] HOST COMMAND...
"""
import json
import os
import sys

sys.dont_write_bytecode = True
import powershell_subset

# OpenSSH's options that take an argument; the others are flags.
WITH_ARGUMENT = set('BbcDEeFIiJLlmOopQRSWw')
FLAGS = set('1246AaCfGgKkMNnqsTtVvXxYy')


def parse(argv):
    """(host, command) from ssh's arguments."""
    i = 0
    while i < len(argv) and argv[i].startswith('-') and argv[i] != '-':
        if argv[i] == '--':
            i += 1
            break
        letters, i = argv[i][1:], i + 1
        for at, letter in enumerate(letters):
            if letter in WITH_ARGUMENT:
                if at + 1 == len(letters):
                    if i >= len(argv):
                        raise powershell_subset.Refused('ssh: -%s without its argument' % letter)
                    i += 1
                break
            if letter not in FLAGS:
                raise powershell_subset.Refused('ssh: unknown option -%s' % letter)
            if letter == 't':  # a terminal on the host is another way of running
                raise powershell_subset.Refused('ssh: -t is not what ansible-core sends Windows')
    if i + 2 > len(argv):
        raise powershell_subset.Refused('ssh: no host or no command in %r' % argv)
    return argv[i], ' '.join(argv[i + 1:])


def main():
    try:
        host, command = parse(sys.argv[1:])
        with open(os.environ['TALQ_SSH_HOSTS']) as f:
            default_shell = json.load(f).get(host)
        if default_shell is None:
            raise powershell_subset.Refused('ssh: no such host %r' % host)
        rc, out, err = powershell_subset.run_over_ssh(command, default_shell, os.environ['WINE'],
                                                      os.environ['WINEPREFIX'])
    except powershell_subset.Refused as refusal:
        message = 'powershell-subset: refused: %s\n' % refusal
        with open(os.environ['TALQ_RUNNER_LOG'], 'a') as log:
            log.write(message)
        sys.stderr.write(message)
        return 255
    sys.stdout.buffer.write(out)
    sys.stderr.buffer.write(err)
    return rc


if __name__ == '__main__':
    sys.exit(main())
