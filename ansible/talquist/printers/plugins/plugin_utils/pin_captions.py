# -*- coding: utf-8 -*-
# The words of each pin, as talq shows them ("Font: B Font (9x24)"), for the modules' diff.
# pin_captions.json beside this file is written by the build from talq's own catalogue
# (ansible/pin_captions.py); without it the diff shows the pins alone.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import os

_CAPTIONS = None


def _captions():
    global _CAPTIONS
    if _CAPTIONS is None:
        path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'pin_captions.json')
        try:
            with open(path) as f:
                _CAPTIONS = json.load(f)
        except (IOError, OSError, ValueError):
            _CAPTIONS = {}
    return _CAPTIONS


def pin_words(model, switch, pin, value):
    """'Caption: word' of the pin holding VALUE on MODEL, or '' for a reserved or unknown pin."""
    entry = _captions().get(str(model), {}).get('%d.%d' % (switch, pin))
    if not entry:
        return ''
    caption, when_0, when_1 = entry
    return '%s: %s' % (caption, when_1 if value else when_0)
