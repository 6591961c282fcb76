#!/usr/bin/env python3
"""Writes the collection's pin_captions.json from talq's catalogue: for each model, the caption
of every pin that has one and its words for 0 and 1, as `talq show` lists them.

    pin_captions.py TALQ OUTPUT.json
"""
import json
import os
import re
import subprocess
import sys
import tempfile

MODELS = ('KTV-520plus', 'KTV-540/542', 'KTV-520plusF')
SWITCH = re.compile(r'^Memory switch (\d+)$')
# "  pin 1  0    [PIN 1] Font: A Font (12x24)       (1 B Font (9x24), 0 A Font (12x24))"
PIN = re.compile(r'^\s+pin (\d+)\s+[01]\s+\[PIN \d+\] ([^:]+): .*?\s+\(1 (.+), 0 (.+)\)$')


def captions(talq, model, folder):
    path = os.path.join(folder, 'factory.json')
    env = dict(os.environ, LC_ALL='C.UTF-8')
    subprocess.run([talq, 'factory', '--quiet', '--model', model, '-o', path], env=env,
                   check=True, capture_output=True, timeout=30)
    shown = subprocess.run([talq, 'show', '--model', model, path], env=env, check=True,
                           capture_output=True, text=True, timeout=30).stdout
    found, switch = {}, None
    for line in shown.splitlines():
        header = SWITCH.match(line)
        if header:
            switch = int(header.group(1))
            continue
        pin = PIN.match(line)
        if pin and switch is not None:
            found['%d.%s' % (switch, pin.group(1))] = [pin.group(2), pin.group(4), pin.group(3)]
    if not found:
        sys.exit('talq show listed no pin captions for %s' % model)
    return found


def main():
    talq, output = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as folder:
        table = {model: captions(talq, model, folder) for model in MODELS}
    with open(output, 'w') as f:
        json.dump(table, f, indent=1, sort_keys=True)


if __name__ == '__main__':
    main()
