#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The two halves of scripts/by-ear.sh.
#
#   by-ear.py listen EVENTS.LOG       records what a screen reader is told
#   by-ear.py play OUTDIR DATADIR     plays a whole game by ear and by keys
import os
import re
import subprocess
import sys
import time

import pyatspi

T0 = time.time()


def game(app):
    return bool(app and app.name and ('Ступенион' in app.name or 'kvizora' in app.name.lower()))


def describe(obj):
    try:
        return '%r [%s] description=%r' % (obj.name, obj.getRoleName(), obj.description)
    except Exception as error:  # the object may be gone already
        return '<%s>' % error


def listen(path):
    out = open(path, 'w', buffering=1)

    def on_event(event):
        try:
            if not game(event.host_application):
                return
        except Exception:
            return
        if event.type.startswith('object:state-changed:focused') and not event.detail1:
            return
        detail = ''
        if event.type.startswith(('object:text-changed', 'object:announcement')):
            detail = ' text=%r' % (event.any_data,)
        elif event.type.startswith('object:state-changed'):
            detail = ' value=%d' % event.detail1
        out.write('%7.2f %s %s%s\n' % (time.time() - T0, event.type, describe(event.source), detail))

    for kind in ('focus:', 'object:state-changed:focused', 'object:state-changed:showing',
                 'object:state-changed:enabled', 'object:property-change:accessible-name',
                 'object:property-change:accessible-description', 'object:announcement',
                 'object:text-changed', 'window:activate'):
        pyatspi.Registry.registerEventListener(on_event, kind)
    pyatspi.Registry.start()


class Player:
    def __init__(self, out, data):
        self.out = out
        self.data = data
        self.log = open(os.path.join(out, 'play.log'), 'w', buffering=1)

    def say(self, *words):
        self.log.write('%7.2f %s\n' % (time.time() - T0, ' '.join(str(w) for w in words)))

    def key(self, *keys):
        for k in keys:
            self.say('key', k)
            subprocess.run(['xdotool', 'key', '--delay', '80', k], check=True)
            time.sleep(0.35)

    def shot(self, name):
        time.sleep(0.5)
        subprocess.run(['import', '-window', 'root', os.path.join(self.out, name)], check=True)
        self.say('screenshot', name)

    def layout(self, layouts):
        subprocess.run(['setxkbmap', '-layout', layouts], check=True)
        self.say('keymap', layouts)

    def focused(self):
        for app in pyatspi.Registry.getDesktop(0):
            if not game(app):
                continue
            found = pyatspi.findDescendant(app, lambda o: o.getState().contains(pyatspi.STATE_FOCUSED))
            if found is not None:
                return found
        return None

    def wait(self, test, what, timeout=60):
        end = time.time() + timeout
        while time.time() < end:
            try:
                result = test()
                if result:
                    return result
            except Exception:
                pass
            time.sleep(0.3)
        self.say('TIMEOUT', what)
        raise SystemExit('timed out waiting for ' + what)

    def focus_named(self, name):
        focus = self.focused()
        return focus if focus is not None and focus.name == name else None

    def question(self, level):
        focus = self.focused()
        if focus is None:
            return None
        match = re.match(r'^(\d+) вопрос на \d+ рублей: (.*)$', focus.name or '', re.S)
        return (focus, match.group(2)) if match and int(match.group(1)) == level else None

    def right_letter(self, level, question, description):
        # What a player who knows everything answers: the level file's
        # second line of the question's record.
        lines = open(os.path.join(self.data, 'qa', '%d.dat' % level), 'rb').read().decode('cp1251').split('\r\n')
        for first in range(0, 50, 5):
            if lines[first] == question:
                for letter in 'ABCD':
                    if re.search(re.escape(letter + '.   ' + lines[first + 1]) + r'[;.]', description):
                        return letter
        return None

    def play(self):
        self.wait(lambda: self.focus_named('ИГРАТЬ'), 'the title screen')
        self.key('Tab', 'Tab')  # round the two buttons: the ring on a light face
        self.shot('title-ring.png')
        self.key('Return')
        cyrillic = {'A': 'Cyrillic_a', 'B': 'Cyrillic_ve', 'C': 'Cyrillic_es', 'D': 'Cyrillic_de'}
        for level in range(1, 16):
            focus, question = self.wait(lambda: self.question(level), 'question %d' % level)
            self.say('question %d: %r | %r' % (level, focus.name, focus.description))
            # A player listens to the question before pressing a key: a key
            # press cuts the screen reader short.
            time.sleep(4)
            if level == 1:
                self.shot('question-marker.png')
                self.key('Tab')
                self.shot('answer-ring.png')
                self.key('shift+Tab')
            elif level == 2:
                self.key(*['Tab'] * 5)
                self.shot('fifty-fifty-ring.png')
                self.key('Return')
                time.sleep(1)
                focus = self.focused()
                self.say('after fifty-fifty: %r | %r' % (focus.name, focus.description))
            elif level == 3:
                self.key(*['Tab'] * 6)
                self.key('Return')
                time.sleep(20)
                self.key('Escape')  # ignored: the call goes on
                focus = self.wait(lambda: self.focus_named('Закрыть'), 'the end of the call')
                self.say('end of the call: %r | %r' % (focus.name, focus.description))
                self.shot('call-end-ring.png')
                self.key('Return')
                self.wait(lambda: self.question(level), 'the question after the call', 10)
            elif level == 4:
                self.key(*['Tab'] * 7)
                self.key('space')
                time.sleep(1)
                self.say('the poll: %r' % (self.focused().name,))
                self.key('Return')
                self.wait(lambda: self.question(level), 'the question after the poll', 10)
            elif level == 6:
                # Stray keys on the Russian layout: Alt+И lies on the B key,
                # Alt+Е on the T key; a plain letter and a digit.
                self.layout('ru,us')
                self.key('alt+Cyrillic_i', 'alt+Cyrillic_ie', 'b', '2')
                time.sleep(1.5)
                self.say('after the stray keys, still question 6:', bool(self.question(level)))
            focus, question = self.question(level)
            letter = self.right_letter(level, question, focus.description)
            self.say('question %d: the right answer is %s' % (level, letter))
            if level == 7:
                self.layout('ru,us')
                self.key('alt+' + letter.lower())
            elif level % 2:
                self.layout('us')
                self.key('alt+' + letter.lower())
            else:
                self.layout('ru,us')
                self.key('alt+' + cyrillic[letter])
        self.wait(lambda: self.focus_named('ЗАКРЫТЬ'), 'the victory window')
        self.say('victory: focus on', self.focused().name)
        self.shot('victory.png')
        self.key('KP_Enter')
        time.sleep(1)
        self.say('the game is over')


if __name__ == '__main__':
    if sys.argv[1] == 'listen':
        listen(sys.argv[2])
    else:
        Player(sys.argv[2], sys.argv[3]).play()
