# -*- coding: utf-8 -*-
# talquist.printers.memory_switches: talq set on the managed host, over its connection.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

from ansible_collections.talquist.printers.plugins.plugin_utils.talq import (
    CONNECTION_ARGUMENT_SPEC, SWITCH_ORDER, TalqAction, TalqFailure, option_text)
from ansible_collections.talquist.printers.plugins.plugin_utils.pin_captions import pin_words

ARGUMENT_SPEC = dict(CONNECTION_ARGUMENT_SPEC)
ARGUMENT_SPEC.update(
    status_file=dict(type='str'),
    pins=dict(type='dict'),
    settings=dict(type='dict'),
    code_page=dict(type='raw'),
    printer_baud=dict(type='int'),
    printer_data_bits=dict(type='int', choices=[7, 8]),
    printer_parity=dict(type='str', choices=['None', 'Odd', 'Even']),
    printer_flow=dict(type='str', choices=['DTR/DSR', 'Xon/Xoff']),
    verify=dict(type='bool', default=True),
)
_WHAT_TO_SET = ('status_file', 'pins', 'settings', 'code_page', 'printer_baud', 'printer_data_bits',
                'printer_parity', 'printer_flow')
# Option of the module -> option of talq set, for the printer's own serial settings.
_PRINTER_LINE_OPTIONS = (
    ('printer_baud', '--printer-baud'),
    ('printer_data_bits', '--printer-data-bits'),
    ('printer_parity', '--printer-parity'),
    ('printer_flow', '--printer-flow'),
)


def _pin_value(value):
    # YAML true/false are the same pins as 1/0; anything else talq judges.
    if isinstance(value, bool):
        return '1' if value else '0'
    return str(value)


def _setting_argument(caption, word):
    # talq takes the caption up to the first '='; a caption holding one would be read apart.
    caption = str(caption)
    if '=' in caption:
        raise TalqFailure('settings: the caption %r holds "=", which no caption of talq show has'
                          % caption, changed=False)
    if word is None or isinstance(word, (bool, dict, list)):
        raise TalqFailure('settings: %r needs one of its words as talq show prints them, not %r'
                          % (caption, word), changed=False)
    return '--setting=%s=%s' % (caption, option_text(word))


def set_arguments(params, check_mode):
    extra = []
    for key, value in (params['pins'] or {}).items():
        extra.append('--pin=%s=%s' % (key, _pin_value(value)))
    for caption, word in (params['settings'] or {}).items():
        extra.append(_setting_argument(caption, word))
    if params['code_page'] is not None:
        extra.append('--code-page=%s' % params['code_page'])
    for name, option in _PRINTER_LINE_OPTIONS:
        if params[name] is not None:
            extra.append('%s=%s' % (option, option_text(params[name])))
    if check_mode:
        extra.append('--dry-run')
    elif params['verify']:
        extra.append('--verify')
    if params['status_file']:
        # After '--', a name that starts with '-' is still the file.
        extra += ['--', params['status_file']]
    return extra


def next_line_settings(words):
    """talq's nextLineSettings keyed and typed as the module's options take them."""
    settings = {}
    for key, name, kind in (('baud', 'baud', int), ('dataBits', 'data_bits', int),
                            ('parity', 'parity', str), ('flow', 'flow', str)):
        value = words.get(key)
        if value is not None:
            try:
                settings[name] = kind(value)
            except ValueError:
                settings[name] = value
    return settings


def _switches_before(after, changes):
    before = dict((key, list(pins)) for key, pins in after.items())
    for change in changes:
        pins = before.get(str(change.get('switch'))) if isinstance(change, dict) else None
        if pins is not None and isinstance(change.get('pin'), int) and 0 <= change['pin'] < len(pins):
            pins[change['pin']] = change.get('before')
    return before


def _setting_text(value):
    """A decoded setting as the diff shows it: a code page by its name, or by its number where
    the printer holds one that matches no entry of the list; serial settings as their words, in
    talq's order. Fields it does not know are shown as they come."""
    if isinstance(value, dict):
        if 'index' in value:
            if value.get('name'):
                return str(value['name'])
            return 'code page %s (matches no entry)' % value['index']
        return ', '.join('%s %s' % item for item in value.items() if item[1] is not None)
    return str(value)


def _pin_lines(model, switches, decoded, side):
    lines = []
    for key in SWITCH_ORDER:
        for pin, value in enumerate(switches.get(key, [])[1:], start=1):
            words = pin_words(model, int(key), pin, value)
            lines.append('switch %s pin %d: %s%s' % (key, pin, value,
                                                       '  ' + words if words else ''))
    for name in sorted(decoded):
        setting = decoded[name]
        lines.append('%s: %s' % (name, _setting_text(
            setting.get(side) if isinstance(setting, dict) else setting)))
    return '\n'.join(lines) + '\n'


def diff(port, document):
    after = document.get('switches') or {}
    decoded = document.get('decoded') or {}
    model = document.get('model')
    before = _switches_before(after, document.get('changes') or [])
    return dict(before_header='%s memory switches (printer)' % port,
                after_header='%s memory switches (declared)' % port,
                before=_pin_lines(model, before, decoded, 'before'),
                after=_pin_lines(model, after, decoded, 'after'))


class ActionModule(TalqAction):

    def run_talq_task(self):
        params = self.validated(ARGUMENT_SPEC, required_one_of=[_WHAT_TO_SET])
        self.refuse_several_usb(params)
        argv = self.talq_argv(params, 'set', set_arguments(params, self._play_context.check_mode))
        document = self.expect_document(params, argv, 'talq-set/1', written_field='setStatus')
        changes = document.get('changes') or []
        result = dict(
            changed=len(changes) > 0,
            port=document.get('port'),
            model=document.get('model'),
            switches=document.get('switches'),
            changes=changes,
            decoded=document.get('decoded') or {},
            set_status=bool(document.get('setStatus')),
            verify=document.get('verify'),
        )
        if self.talq_warnings:
            result['warnings'] = self.talq_warnings
        if document.get('nextLineSettings'):
            result['next_line_settings'] = next_line_settings(document['nextLineSettings'])
        if self._play_context.diff:
            result['diff'] = diff(params['port'], document)
        return result
