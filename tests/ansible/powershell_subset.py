"""What a Windows host does with the commands the collection's tasks send it, for exactly the
PowerShell the connection plugins and the collection emit, and nothing more: anything outside
that subset is refused (Refused), never guessed at. There is no PowerShell on this machine; the
behaviours below are Windows PowerShell 5.1's as documented and known, written down once here.

    ssh:   the host's default shell runs `chcp.com 65001 >nul 2>&1 && PowerShell ...` (cmd) or
           `chcp.com 65001 > $null ; PowerShell ...` (PowerShell, which then reports any failure
           of its last native command as exit code 1)
    winrm: WinRS runs `PowerShell ...` through cmd /c in a shell made with code page 65001
then `PowerShell -NoProfile -NonInteractive -ExecutionPolicy Unrestricted -EncodedCommand B64`,
whose script (UTF-16LE) is the collection's: a prologue, `$env:NAME = '...'` lines, one call
`& 'C:\\...\\talq.exe' 'word' ...` with standard error taken apart, and the exit lines. The program
runs under Wine ($WINE, $WINEPREFIX) with the argv Windows PowerShell 5.1 would give it.
"""
import base64
import binascii
import os
import re
import subprocess
from xml.sax.saxutils import escape

CLI = 'PowerShell -NoProfile -NonInteractive -ExecutionPolicy Unrestricted -EncodedCommand '
SSH_ENVELOPES = {
    'cmd': 'chcp.com 65001 >nul 2>&1 && ',
    'powershell': 'chcp.com 65001 > $null ; ',
}
PROLOGUE = [
    "$ErrorActionPreference = 'Continue'",
    '$global:LASTEXITCODE = $null',
    'try { [Console]::OutputEncoding = New-Object System.Text.UTF8Encoding $false } catch { }',
]
CALL_HEAD = 'try { & '
CALL_TAIL = (' 2>&1 | ForEach-Object { if ($_ -is [System.Management.Automation.ErrorRecord]) '
             '{ $Host.UI.WriteErrorLine($_.Exception.Message) } else { $Host.UI.WriteLine($_) } } } '
             "catch { $Host.UI.WriteErrorLine('could not start: ' + $_.Exception.Message) }")
EXIT_IF_RAN = 'if ($null -ne $global:LASTEXITCODE) { exit $global:LASTEXITCODE }'
EXIT_ELSE = re.compile(r'^exit (\d+)$')
ENV_LINE = re.compile(r'^\$env:([A-Za-z_][A-Za-z0-9_]*) = (.*)$', re.S)
# PowerShell's single quotes: any of them ends a single-quoted string; one doubled is one.
QUOTES = "'\u2018\u2019\u201a\u201b"
# Char.IsWhiteSpace, which decides where PowerShell 5.1 puts double quotes around an argument.
WHITE_SPACE = set('\t\n\v\f\r \x85\xa0\u1680\u2028\u2029\u202f\u205f\u3000'
                  + ''.join(chr(c) for c in range(0x2000, 0x200b)))
# Names Wine itself gives meaning to: the runner cannot hand them to the program as they are.
WINE_OWN = re.compile(r'^(PATH|TEMP|TMP|HOME|DISPLAY|WINE.*)$', re.I)
NOT_RECOGNIZED = ("The term '%s' is not recognized as the name of a cmdlet, function, script "
                  "file, or operable program. Check the spelling of the name, or if a path was "
                  "included, verify that the path is correct and try again.")


class Refused(Exception):
    """A command outside the subset."""


class Plan:
    def __init__(self, program, words, environment, exit_else):
        self.program, self.words = program, words
        self.environment = environment  # name -> value; '' removes the variable
        self.exit_else = exit_else

    def argv(self):
        """The program's arguments as it reads them from the command line PowerShell made."""
        return command_line_arguments(powershell_arguments(self.words))


def literal(text, i):
    """The single-quoted string at TEXT[i] and the index after it."""
    if i >= len(text) or text[i] != "'":
        raise Refused('a single-quoted string expected at %r' % text[i:i + 20])
    value, i = [], i + 1
    while i < len(text):
        c = text[i]
        if c in QUOTES:
            if i + 1 < len(text) and text[i + 1] in QUOTES:
                if text[i + 1] != c:
                    raise Refused('two different quotes in a row in %r' % text)
                value.append(c)
                i += 2
                continue
            return ''.join(value), i + 1
        value.append(c)
        i += 1
    raise Refused('a single-quoted string does not end: %r' % text)


def call_words(line):
    """The literals of `try { & 'prog' 'word' ... <tail>`."""
    if not line.startswith(CALL_HEAD):
        raise Refused('not the call: %r' % line)
    words, i = [], len(CALL_HEAD)
    while True:
        word, i = literal(line, i)
        words.append(word)
        if line[i:] == CALL_TAIL:
            return words
        if not line.startswith(" '", i):
            raise Refused('after a word, neither another word nor the call\'s end: %r' % line[i:])
        i += 1


def plan_of_script(script):
    if '\r' in script:
        raise Refused('a carriage return: ansible-core joins the lines with LF')
    lines = script.split('\n')
    if lines[:len(PROLOGUE)] != PROLOGUE:
        raise Refused('the prologue is not %r: %r' % (PROLOGUE, lines[:len(PROLOGUE)]))
    rest = lines[len(PROLOGUE):]
    environment = {}
    while rest and rest[0].startswith('$env:'):
        match = ENV_LINE.match(rest.pop(0))
        if not match:
            raise Refused('an environment line outside the subset')
        value, end = literal(match.group(2), 0)
        if end != len(match.group(2)):
            raise Refused('text after the value of $env:%s' % match.group(1))
        if WINE_OWN.match(match.group(1)):
            raise Refused('$env:%s: Wine gives it a meaning of its own' % match.group(1))
        environment[match.group(1)] = value
    if len(rest) != 3 or rest[1] != EXIT_IF_RAN or not EXIT_ELSE.match(rest[2]):
        raise Refused('not one call and the exit lines: %r' % rest)
    words = call_words(rest[0])
    program = words.pop(0)
    if not re.match(r'^[A-Za-z]:\\', program):
        raise Refused('the program %r is not an absolute path' % program)
    for word in words:
        if '"' in word:
            raise Refused('a double quote in the argument %r: programs split that differently'
                          % word)
    return Plan(program, words, environment, int(EXIT_ELSE.match(rest[2]).group(1)))


def script_of_cli(command_line):
    """The script of `PowerShell <the switches ansible-core gives> -EncodedCommand B64`."""
    if not command_line.startswith(CLI):
        raise Refused('not the PowerShell command line ansible-core sends: %r' % command_line[:120])
    encoded = command_line[len(CLI):]
    if not re.match(r'^[A-Za-z0-9+/]+=*$', encoded):
        raise Refused('-EncodedCommand is not base64')
    try:
        return base64.b64decode(encoded, validate=True).decode('utf-16-le')
    except (binascii.Error, UnicodeDecodeError) as error:
        raise Refused('-EncodedCommand does not decode: %s' % error)


def script_of_ssh(command, default_shell):
    """The script of what ssh hands the host whose default shell is DEFAULT_SHELL."""
    envelope = SSH_ENVELOPES.get(default_shell)
    if envelope is None or not command.startswith(envelope):
        raise Refused('for the default shell %s, not the envelope %r: %r'
                      % (default_shell, envelope, command[:80]))
    return script_of_cli(command[len(envelope):])


def powershell_arguments(words):
    """The command line after the program's name as Windows PowerShell 5.1 makes it: an empty
    word left out, double quotes around a word with white space outside quotes, nothing
    escaped."""
    parts = []
    for word in words:
        if not word:
            continue
        quotes, after_backslash, quote_it = 0, False, False
        for c in word:
            if c == '"' and not after_backslash:
                quotes += 1
            elif c in WHITE_SPACE and quotes % 2 == 0:
                quote_it = True
                break
            after_backslash = c == '\\'
        parts.append('"%s"' % word if quote_it else word)
    return ' '.join(parts)


def command_line_arguments(line):
    """LINE split as a Windows program splits its command line (backslashes count only before a
    double quote)."""
    args, i, n = [], 0, len(line)
    while True:
        while i < n and line[i] in ' \t':
            i += 1
        if i >= n:
            return args
        arg, quoted = [], False
        while i < n and (quoted or line[i] not in ' \t'):
            if line[i] == '\\':
                j = i
                while j < n and line[j] == '\\':
                    j += 1
                if j < n and line[j] == '"':
                    arg.append('\\' * ((j - i) // 2))
                    if (j - i) % 2:
                        arg.append('"')
                        j += 1
                else:
                    arg.append('\\' * (j - i))
                i = j
            elif line[i] == '"':
                quoted = not quoted
                i += 1
            else:
                arg.append(line[i])
                i += 1
        args.append(''.join(arg))


def unix_path(prefix, windows_path):
    """WINDOWS_PATH in the Wine prefix, each name matched without regard to case, or None."""
    drive, rest = windows_path[0].lower() + ':', windows_path[3:]
    path = os.path.realpath(os.path.join(prefix, 'dosdevices', drive))
    for name in [part for part in rest.split('\\') if part]:
        try:
            found = [entry for entry in os.listdir(path) if entry.lower() == name.lower()]
        except OSError:
            return None
        if not found:
            return None
        path = os.path.join(path, found[0])
    return path if os.path.isfile(path) else None


def clixml(lines):
    """Lines of the error stream as Windows PowerShell writes them when its command came encoded
    and its standard error is not a console; ansible-core reads them back."""
    if not lines:
        return b''
    body = ''.join('<S S="Error">%s_x000D__x000A_</S>' % escape(re.sub(
        r'[\x00-\x08\x0b-\x1f]', lambda m: '_x%04X_' % ord(m.group()), line)) for line in lines)
    return ('#< CLIXML\r\n<Objs Version="1.1.0.1" xmlns="http://schemas.microsoft.com/powershell/'
            '2004/04">%s</Objs>' % body).encode('utf-8')


def text_lines(data):
    # As .NET's StreamReader.ReadLine reads them, decoded as UTF-8.
    lines = re.split(r'\r\n|\r|\n', data.decode('utf-8', errors='replace'))
    if lines[-1] == '':
        lines.pop()
    return lines


def execute(plan, wine, prefix):
    """talq's (exit code, standard output, standard error) as PowerShell passes them on."""
    if unix_path(prefix, plan.program) is None:
        errors = ['could not start: ' + NOT_RECOGNIZED % plan.program]
        return plan.exit_else, b'', clixml(errors)
    env = dict(os.environ)
    for name, value in plan.environment.items():
        for key in [k for k in env if k.lower() == name.lower()]:
            del env[key]
        if value:  # assigning '' removes the variable
            env[name] = value
    run = subprocess.run([wine, plan.program] + plan.argv(), env=env, stdin=subprocess.DEVNULL,
                         capture_output=True, timeout=120)
    out = ''.join(line + '\r\n' for line in text_lines(run.stdout)).encode('utf-8')
    return run.returncode, out, clixml(text_lines(run.stderr))


def run_over_ssh(command, default_shell, wine, prefix):
    rc, out, err = execute(plan_of_script(script_of_ssh(command, default_shell)), wine, prefix)
    if default_shell == 'powershell':  # -Command reports its last native command's failure as 1
        rc = 1 if rc else 0
    return rc, out, err


def run_over_winrs(command, arguments, codepage, skip_cmd_shell, wine, prefix):
    if codepage != '65001':
        raise Refused('a WinRS shell with code page %s' % codepage)
    if skip_cmd_shell != 'FALSE':
        raise Refused('a WinRS command without cmd')
    line = '%s %s' % (command, arguments)
    # cmd /c runs the line as it is: only the base64 and the switches, no character cmd treats.
    if re.search(r'[&|<>^%()"]', line):
        raise Refused('cmd would act on %r' % line[:80])
    return execute(plan_of_script(script_of_cli(line)), wine, prefix)
