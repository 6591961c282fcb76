# -*- coding: utf-8 -*-
# talq's command for a Windows host. Every connection to Windows hands the command to Windows
# PowerShell 5.1, whatever the shell type says: ssh (shell type cmd or powershell) sends
# `chcp.com 65001 ... PowerShell ... -EncodedCommand <the command>`, winrm runs that same
# PowerShell through WinRS, psrp runs the command as a script in its runspace. So there is one
# form, a PowerShell script, and it is written to hold on each of them.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

import re

# What the script says, and exits with, when talq could not be started at all (not there, not a
# program). PowerShell's own text for it is in the system's language, so the mark is ours.
NOT_STARTED_MARK = 'could not start: '
NOT_STARTED_EXIT = 127

# PowerShell ends a single-quoted string at any of these quotes, and reads each doubled as one.
_QUOTES = re.compile(u"(['\u2018\u2019\u201a\u201b])")
# $env:NAME takes these; anything else would need another syntax for one rare case.
_ENV_NAME = re.compile(r'^[A-Za-z_][A-Za-z0-9_]*$')
# What .NET's Char.IsWhiteSpace calls white space: Windows PowerShell puts double quotes around
# an argument that holds any of it.
_WHITE_SPACE = re.compile(u'[\t\n\v\f\r \x85\xa0\u1680\u2000-\u200a\u2028\u2029\u202f\u205f\u3000]')


class UnsafeWord(ValueError):
    """A word that would not reach talq on a Windows host as it is."""


def literal(text):
    """TEXT as a PowerShell single-quoted string: nothing in it is expanded."""
    return "'" + _QUOTES.sub(r'\1\1', text) + "'"


def _check_line_free(what, text):
    # ansible-core strips every line of an encoded command and drops empty ones, which would
    # change a word that spans lines.
    if '\r' in text or '\n' in text:
        raise UnsafeWord('%s %r holds a line break, which does not reach a Windows host intact'
                         % (what, text))


def _check_argument(word):
    """Windows PowerShell 5.1 builds the program's command line by putting double quotes around
    an argument with white space in it, and does nothing else: a double quote inside stays
    unescaped, a backslash before the closing quote escapes it, and an empty argument is left
    out. None of that may touch one of talq's words."""
    _check_line_free('the argument', word)
    if not word:
        raise UnsafeWord('an empty argument does not reach a program on a Windows host')
    if '"' in word:
        raise UnsafeWord('the argument %r holds a double quote, which Windows PowerShell passes '
                         'on unescaped' % word)
    if word.endswith('\\') and _WHITE_SPACE.search(word):
        raise UnsafeWord('the argument %r ends in a backslash and holds a space, which Windows '
                         'PowerShell passes on as a quote' % word)


def powershell_command(argv, environment):
    """The script that runs ARGV (the program first) with ENVIRONMENT added, or UnsafeWord."""
    _check_line_free('the program', argv[0])
    for word in argv[1:]:
        _check_argument(word)
    lines = [
        # A native program's line on standard error is an error record to Windows PowerShell,
        # and with 'Stop' (which a caller's runspace may hold) the first one would end the
        # script, talq still running and its exit code lost.
        "$ErrorActionPreference = 'Continue'",
        # psrp runs every command in one runspace: a code left by an earlier command would read
        # as talq's own when talq does not start. Global, as the program sets it.
        '$global:LASTEXITCODE = $null',
        # PowerShell decodes talq's output with the console's code page: UTF-8, as talq writes
        # (no BOM). ssh and winrm already set 65001; psrp has no console, hence the try.
        'try { [Console]::OutputEncoding = New-Object System.Text.UTF8Encoding $false } catch { }',
    ]
    for name in sorted(environment):
        value = str(environment[name])
        if not _ENV_NAME.match(str(name)):
            raise UnsafeWord('the environment variable name %r is not letters, digits and _'
                             % str(name))
        _check_line_free('the value of %s' % name, value)
        lines.append('$env:%s = %s' % (name, literal(value)))
    # Standard error merged into the pipeline and taken apart again: talq's lines go out as
    # plain lines on each stream, never as PowerShell's error records with their position and
    # category text, and each is written by the host as it is, past the formatting that could
    # wrap a long line (psrp's host hands both streams to the controller alike). Only a program
    # that could not be started reaches the catch.
    lines.append(
        'try { & %s 2>&1 | ForEach-Object { if ($_ -is [System.Management.Automation.ErrorRecord]) '
        '{ $Host.UI.WriteErrorLine($_.Exception.Message) } else { $Host.UI.WriteLine($_) } } } '
        "catch { $Host.UI.WriteErrorLine('%s' + $_.Exception.Message) }"
        % (' '.join(literal(word) for word in argv), NOT_STARTED_MARK))
    # talq's exit code when it ran; unset, it did not start, and that is no success.
    lines.append('if ($null -ne $global:LASTEXITCODE) { exit $global:LASTEXITCODE }')
    lines.append('exit %d' % NOT_STARTED_EXIT)
    return '\n'.join(lines)
