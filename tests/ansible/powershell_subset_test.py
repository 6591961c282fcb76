#!/usr/bin/env python3
"""The PowerShell runner of the Windows walk takes exactly the subset and refuses the rest; the
collection's Windows command comes through it word for word, or is refused before it is sent.

    powershell_subset_test.py --collections ANSIBLE_COLLECTIONS_PATH
"""
import argparse
import base64
import sys

sys.dont_write_bytecode = True
from powershell_subset import (Refused, command_line_arguments, plan_of_script,
                               powershell_arguments, script_of_ssh)

PROGRAM = r'C:\Program Files\Talquist Manager\talq.exe'
PROLOGUE = ("$ErrorActionPreference = 'Continue'\n$global:LASTEXITCODE = $null\n"
            'try { [Console]::OutputEncoding = New-Object System.Text.UTF8Encoding $false } catch { }\n')
TAIL = (" 2>&1 | ForEach-Object { if ($_ -is [System.Management.Automation.ErrorRecord]) "
        "{ $Host.UI.WriteErrorLine($_.Exception.Message) } else { $Host.UI.WriteLine($_) } } } "
        "catch { $Host.UI.WriteErrorLine('could not start: ' + $_.Exception.Message) }")
EXIT = '\nif ($null -ne $global:LASTEXITCODE) { exit $global:LASTEXITCODE }\nexit 127'


def script(call, env=''):
    return PROLOGUE + env + 'try { & ' + call + TAIL + EXIT


ACCEPTED = [
    # script, program, argv, environment
    (script(r"'C:\Program Files\Talquist Manager\talq.exe' 'get' '--port=COM1'"),
     PROGRAM, ['get', '--port=COM1'], {}),
    (script("'C:\\t.exe' 'Bob''s \u2019\u2019n\u2019\u2019 $(x) & y' 'C:\\a b\\c'",
            "$env:TALQ_COM7 = '\\\\.\\COM4'\n$env:NOTE = 'it''s'\n"),
     'C:\\t.exe', ["Bob's \u2019n\u2019 $(x) & y", 'C:\\a b\\c'],
     {'TALQ_COM7': '\\\\.\\COM4', 'NOTE': "it's"}),
    # What Windows PowerShell 5.1 does to such words: an empty one is left out, a trailing
    # backslash beside a space escapes the quote it adds.
    (script("'C:\\t.exe' '' 'C:\\my dir\\' 'x'"), 'C:\\t.exe', ['C:\\my dir" x'], {}),
]

REFUSED = [
    # The cmd syntax the plugin once built, and the PowerShell it built beside it.
    'set TALQ_COM1=x&& ^"C:\\Program Files\\Talquist Manager\\talq.exe^" get',
    "[Environment]::SetEnvironmentVariable('A', 'b'); & 'C:\\t.exe' 'get'; exit $LASTEXITCODE",
    "& 'C:\\t.exe' 'get'; exit $LASTEXITCODE",
    script("'C:\\t.exe' 'Bob's'"),                  # a quote not doubled
    script("'C:\\t.exe' 'a\u2019b'"),               # PowerShell ends the string at a curly quote
    script("'C:\\t.exe' get"),                      # a bare word
    script("'C:\\t.exe' \"$x\""),                   # an expanding string
    script("'C:\\t.exe' 'say \"hi\"'"),             # a double quote inside a word
    script("'talq.exe' 'get'"),                     # a program found by name
    script("'C:\\t.exe' 'get'", "$env:PATH = 'x'\n"),
    script("'C:\\t.exe' 'get'", "${env:A(B)} = 'x'\n"),
    script("'C:\\t.exe' 'get'", "$env:A = 'x'; Remove-Item 'y'\n"),
    script("'C:\\t.exe' 'get'").replace("$ErrorActionPreference = 'Continue'\n", ''),
    script("'C:\\t.exe' 'get'") + '\nRemove-Item x',
    script("'C:\\t.exe' 'get'").replace('\n', '\r\n'),
]


def encoded(text):
    return base64.b64encode(text.encode('utf-16-le')).decode()


CLI = 'PowerShell -NoProfile -NonInteractive -ExecutionPolicy Unrestricted -EncodedCommand '
SSH = [
    # command ssh sends, the host's default shell, accepted
    ('chcp.com 65001 >nul 2>&1 && ' + CLI + encoded(ACCEPTED[0][0]), 'cmd', True),
    ('chcp.com 65001 > $null ; ' + CLI + encoded(ACCEPTED[0][0]), 'powershell', True),
    ('chcp.com 65001 >nul 2>&1 && ' + CLI + encoded(ACCEPTED[0][0]), 'powershell', False),
    (CLI + encoded(ACCEPTED[0][0]), 'cmd', False),
    ('chcp.com 65001 >nul 2>&1 && ' + CLI.replace('-EncodedCommand', '-Command') + 'get', 'cmd', False),
    ('chcp.com 65001 >nul 2>&1 && ' + CLI + encoded(ACCEPTED[0][0]) + ' & calc', 'cmd', False),
]

WINDOWS_ARGV = [
    # words the collection sends, or None where it must refuse them before sending
    ['set', '--port=COM5&echo x>y\' ; Remove-Item z ; \'', '--pin=2.1=1', '--',
     'Z:\\tmp\\Bob\u2019s shop & co\'s\\Caf\u00e9 \u21161\\shop.json'],
    ['get', '--port=\u2018COM1\u2019\u201a\u201b', 'tab\there'],
    # Settings by their words: spaces, brackets, '/' and a quote arrive as they are; a double
    # quote cannot.
    ['set', '--setting=switch 8 [PIN 1] User Setting=Enable',
     '--setting=Parallel reset signal(I/F Pin 31)=Enable', "--setting=printer's=x y"],
    ['set', '--setting=Font="B Font (9x24)"'],
    ['get', '--port=say "x"'],
    ['get', '--port=two\nlines'],
    ['get', '--', 'C:\\my dir\\'],
    ['get', ''],
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--collections', required=True)
    sys.path.insert(0, parser.parse_args().collections)
    from ansible_collections.talquist.printers.plugins.plugin_utils.windows_command import (
        UnsafeWord, powershell_command)
    failures = []

    for text, program, argv, environment in ACCEPTED:
        try:
            plan = plan_of_script(text)
            got = (plan.program, plan.argv(), plan.environment)
        except Refused as refusal:
            got = refusal
        if got != (program, argv, environment):
            failures.append('accepted %r: %r' % (text, got))
    for text in REFUSED:
        try:
            failures.append('not refused: %r -> %r' % (text, plan_of_script(text).argv()))
        except Refused:
            pass
    for command, shell, accepted in SSH:
        try:
            script_of_ssh(command, shell)
            refused = False
        except Refused:
            refused = True
        if refused == accepted:
            failures.append('ssh %s, %r: %s' % (shell, command[:60], 'refused' if refused else 'taken'))
    for words in WINDOWS_ARGV:
        safe = '"' not in ''.join(words) and '\n' not in ''.join(words) and all(words) \
            and not words[-1].endswith('\\')
        try:
            plan = plan_of_script(powershell_command([PROGRAM] + words, {'SHOP_NOTE': "Bob's \u2018x\u2019"}))
            got = (plan.argv(), plan.environment)
        except (UnsafeWord, Refused) as refusal:
            got = refusal
        if safe and got != (words, {'SHOP_NOTE': "Bob's \u2018x\u2019"}):
            failures.append('the collection sends %r as %r' % (words, got))
        if not safe and not isinstance(got, UnsafeWord):
            failures.append('the collection sends %r, which cannot arrive intact: %r' % (words, got))
    # The argv model alone: quotes only where PowerShell 5.1 adds them, split back alike.
    if command_line_arguments(powershell_arguments(['a b', 'c', '\u3000x'])) != ['a b', 'c', '\u3000x']:
        failures.append('the command line model loses words')

    for failure in failures:
        print('FAIL: ' + failure, file=sys.stderr)
    print('%d passed, %d failed' % (len(ACCEPTED) + len(REFUSED) + len(SSH) + len(WINDOWS_ARGV)
                                    - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
