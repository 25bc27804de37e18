#!/usr/bin/env python3
"""Makes the saver's 43 WAVE files: the figures' voice lines, the scene cues
and the tune.

Voices are spoken by espeak-ng and shaped with sox, one recipe per figure so
that each keeps a voice of its own; the wails, the retch and the tune are put
together from espeak-ng speech and sox's synthesiser. Every run gives the same
bytes: espeak-ng is deterministic and sox runs with -R (fixed seed for its
noise and dither). The output is small on purpose (mono, 11025 Hz, 8-bit
PCM), because every file is linked into the executable.

Usage: make_audio.py [output-folder]   (default: wave/ beside this script)
"""
import os
import shutil
import subprocess
import sys
import tempfile

RATE = 11025      # final sample rate
BITS = 8          # final sample size; 8-bit PCM is unsigned, as WAVE requires
WORK_RATE = 22050  # espeak-ng's own rate; everything is mixed at this rate

# How each figure sounds: espeak-ng voice, base pitch (0-99) and words per
# minute, then the sox effects that give the voice its colour.
VOICES = {
    # The big, round one: slow and booming, with a little room around it.
    'wobblo': (['-v', 'en-us+m3', '-p', '30', '-s', '155'],
               ['pitch', '-280', 'bass', '+5', 'reverb', '20', '50', '40']),
    # Talks from inside a tight hood: every high sound is smothered.
    'muffix': (['-v', 'en-us+m1', '-p', '60', '-s', '165'],
               ['pitch', '+150', 'lowpass', '1000', 'lowpass', '1300', 'bass', '+6']),
    # Quick and cocky.
    'tavik': (['-v', 'en-us+m7', '-p', '58', '-s', '175'],
              ['pitch', '+250', 'chorus', '0.7', '0.9', '55', '0.4', '0.25', '2', '-t']),
    # A bit nasal and a bit queasy.
    'bexlo': (['-v', 'en-gb+m2', '-p', '62', '-s', '150'],
              ['pitch', '+350', 'highpass', '250', 'equalizer', '1400', '1.2q', '+9',
               'tremolo', '5', '15']),
    # The smallest: high, fast and squeaky.
    'nibbo': (['-v', 'en-us+f4', '-p', '85', '-s', '185'],
              ['pitch', '+650', 'tempo', '1.1', 'reverb', '15']),
}

# Bounce lines and the scenes' spoken cues: resource name, speaker, words.
# SSML is allowed in the words (espeak-ng runs with -m).
LINES = [
    ('WOBBLO1', 'wobblo', 'Boing!'),
    ('WOBBLO2', 'wobblo', 'Whoa ho ho! Here I go!'),
    ('WOBBLO3', 'wobblo', 'Bouncy, bouncy, bouncy!'),
    ('WOBBLO4', 'wobblo', "Oof! Good thing I'm well padded."),
    ('WOBBLO5', 'wobblo', 'Ha ha! Do that again!'),
    ('WOBBLO6', 'wobblo', 'Hello there, edge of the screen!'),
    ('WOBBLO7', 'wobblo', 'Wheee! I love this part!'),
    ('WOBBLO8', 'wobblo', "Mind out, I'm a big fella!"),
    ('WOBBLO9', 'wobblo', 'Oopsy daisy!'),
    ('WOBBLO10', 'wobblo', 'Now who put a wall there?'),
    ('WOBBLO11', 'wobblo', 'Ho ho, that tickles my tummy!'),
    ('WOBBLO12', 'wobblo', 'Round and round and round I go!'),
    ('WOBBLO13', 'wobblo', 'Bonk! Right on the noggin.'),
    ('WOBBLO14', 'wobblo', "Ooh, I'm all wobbly now."),
    ('WOBBLO15', 'wobblo', 'Hey, somebody catch me!'),
    ('WOBBLO16', 'wobblo', 'Ta-daa! Stuck the landing.'),
    ('MUFFIX2', 'muffix', 'Mm hmm! Mm hmm!'),
    ('MUFFIX3', 'muffix', 'Mmf mmf, wheee!'),
    ('MUFFIX4', 'muffix', 'Hmm hmm hmmmm!'),
    ('MUFFIX5', 'muffix', 'Mmmf! Bonk, mmf!'),
    ('TAVIK1', 'tavik', 'Ha! Bounced it!'),
    ('TAVIK2', 'tavik', 'Hey! Who moved the wall?'),
    ('TAVIK3', 'tavik', 'Watch this, you guys!'),
    ('TAVIK4', 'tavik', 'Aw, sweet! Again!'),
    ('TAVIK5', 'tavik', "Ow! Now my hat's all crooked."),
    ('BEXLO1', 'bexlo', 'Oof! My hat!'),
    ('BEXLO2', 'bexlo', "Whoa, I'm getting dizzy."),
    ('BEXLO3', 'bexlo', 'Not the wall again!'),
    ('BEXLO4', 'bexlo', 'I think I feel seasick.'),
    ('BEXLO5', 'bexlo', "Wheee... okay, that's enough now."),
    ('BEXLO6', 'bexlo', 'Can we stop bouncing, please?'),
    ('NIBBO1', 'nibbo', 'Wheee!'),
    ('NIBBO2', 'nibbo', 'Again! Again!'),
    ('NIBBO3', 'nibbo', 'Hee hee! Boing boing!'),
    ('NIBBO4', 'nibbo', "Look at me, I'm flying!"),
    # The kick scene: the big one gets ready, the small one pleads, the
    # big one calls out as it kicks.
    ('KICKREADY', 'tavik', 'Hold still, little guy.'),
    ('KICKPLEA', 'nibbo', 'No no no, please!'),
    ('KICKCALL', 'tavik', 'Heave ho! Off you go!'),
]


class Builder:
    """Runs the tools in a scratch folder and writes the finished files."""

    def __init__(self, out_dir, scratch):
        self.out_dir = out_dir
        self.scratch = scratch
        self.count = 0

    def temp(self):
        self.count += 1
        return os.path.join(self.scratch, f'part{self.count}.wav')

    @staticmethod
    def run(*cmd):
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)

    def sox(self, inputs, output, effects=(), combine=None):
        """sox -R [--combine how] inputs... output effects..."""
        cmd = ['sox', '-R', '-V1']
        if combine:
            cmd += ['--combine', combine]
        cmd += list(inputs) + [output] + list(effects)
        self.run(*cmd)
        return output

    def speak(self, speaker, words):
        """The words in the speaker's voice, silence trimmed, at WORK_RATE."""
        espeak, effects = VOICES[speaker]
        raw = self.temp()
        self.run('espeak-ng', '-m', *espeak, '-w', raw, words)
        trimmed = self.sox([raw], self.temp(), ['rate', str(WORK_RATE)] + TRIM + ['pad', '0.03', '0.4'])
        return self.sox([trimmed], self.temp(), effects + TRIM + ['pad', '0', '0.05'])

    def synth(self, seconds, *args):
        """A mono sound from sox's synthesiser at WORK_RATE."""
        return self.sox(['-n', '-r', str(WORK_RATE), '-c', '1'], self.temp(),
                        ['synth', str(seconds)] + list(args))

    def concat(self, parts):
        return self.sox(parts, self.temp())

    def mix(self, parts):
        return self.sox(parts, self.temp(), combine='mix')

    def finish(self, name, source):
        """Levels the sound and writes it in the final format as wave/<name>.wav."""
        out = os.path.join(self.out_dir, name.lower() + '.wav')
        cmd = ['sox', '-R', '-V1', source, '-r', str(RATE), '-b', str(BITS), '-c', '1',
               '-e', 'unsigned-integer' if BITS == 8 else 'signed-integer', out,
               'rate', str(RATE), 'norm', '-1']
        self.run(*cmd)
        return out


# Cuts leading and trailing silence (below 0.3% of full scale).
TRIM = ['silence', '1', '0.01', '0.3%', 'reverse', 'silence', '1', '0.01', '0.3%', 'reverse']


def wail(b, speaker, word, stretch, bend):
    """One word drawn out to a wail: slowed without changing its pitch, then
    bent and shaken like a sob."""
    spoken = b.speak(speaker, word)
    return b.sox([spoken], b.temp(), ['tempo', '-s', str(stretch), 'bend', bend,
                                      'tremolo', '6', '45'])


def gasp_wail(b):
    """Bexlo sees the spike: a sharp intake of breath, then a wail that sags."""
    breath = b.synth(0.35, 'pinknoise', 'band', '2200', '1500', 'fade', 'q', '0.25', '0.35', '0.08',
                     'vol', '0.5')
    gap = b.synth(0.1, 'sine', '0', 'vol', '0')
    oh_no = b.speak('bexlo', 'Oh no!')
    nooo = wail(b, 'bexlo', 'Noo!', 0.4, '0.2,-500,0.8')
    return b.concat([breath, gap, oh_no, nooo])


def curse_wail(b):
    """Tavik's outburst: made-up, harmless words, the last one howled."""
    words = b.speak('tavik', 'You rotten flibbernacks!')
    howl = wail(b, 'tavik', 'Snorgle wumps!', 0.55, '0.1,400,0.5')
    return b.concat([words, howl])


def muffix_yelp(b):
    """Muffix as the spike goes through the hood: a smothered yelp."""
    words = b.speak('muffix', 'Mmmf! Ow! Ow ow owww!')
    return b.sox([words], b.temp(), ['bend', '0.4,500,0.3', '0,-700,0.6'])


def retch(b):
    """Bexlo's stomach gives up: a hiccup, a heave and a long gurgling gush."""
    hurk = b.speak('bexlo', 'Hurk!')
    heave = b.speak('bexlo', '<prosody rate="x-slow">Bleaaaurgh!</prosody>')
    heave = b.sox([heave], b.temp(), ['overdrive', '12', 'bend', '0.2,-500,0.9', 'tremolo', '11', '60'])
    gush = b.synth(1.6, 'brownnoise', 'band', '350', '300', 'tremolo', '17', '70',
                   'fade', 'q', '0.15', '1.6', '0.7', 'vol', '2.5')
    heave_and_gush = b.mix([heave, b.sox([gush], b.temp(), ['pad', '0.25'])])
    return b.concat([hurk, b.synth(0.15, 'sine', '0', 'vol', '0'), heave_and_gush])


# The tune: an original ditty in C major, four bars of 4/4 at 120 beats per
# minute and a held last chord, about nine seconds. Notes are (name, beats);
# 'r' is a rest.
BEAT = 0.5
TUNE_TAIL = 0.5   # seconds of ring after the last note
MELODY = [
    ('C5', 1), ('E5', 0.5), ('G5', 0.5), ('A5', 1), ('G5', 1),
    ('F5', 0.5), ('E5', 0.5), ('D5', 0.5), ('E5', 0.5), ('C5', 2),
    ('D5', 1), ('F5', 0.5), ('A5', 0.5), ('G5', 1), ('E5', 0.5), ('C5', 0.5),
    ('D5', 0.5), ('E5', 0.5), ('D5', 0.5), ('B4', 0.5), ('C5', 3),
]
# An oom-pah bass under it: root on the beat, fifth on the off-beat.
BASS = [
    ('C3', 1), ('G3', 1), ('C3', 1), ('G3', 1),
    ('F2', 1), ('C3', 1), ('C3', 1), ('G3', 1),
    ('D3', 1), ('A3', 1), ('G2', 1), ('D3', 1),
    ('G2', 1), ('B2', 1), ('C3', 3),
]


def jolly_tune(b):
    """A bright square-wave lead over a plucked bass, with a little room."""
    def voice(notes, make_note):
        return b.concat([make_note(n, beats * BEAT) for n, beats in notes])

    def lead(note, seconds):
        return b.synth(seconds, 'square', note, 'vol', '0.3', 'lowpass', '2500',
                       'fade', 'h', '0.01', str(seconds), str(min(0.2, seconds * 0.4)))

    def bass(note, seconds):
        return b.synth(seconds, 'pluck', note, 'fade', 'h', '0.005', str(seconds), '0.1',
                       'vol', '0.8')

    tune = b.mix([voice(MELODY, lead), voice(BASS, bass)])
    # reverb leaves the length unknown to sox, so the fade is given its end
    end = sum(beats for _, beats in MELODY) * BEAT + TUNE_TAIL
    return b.sox([tune], b.temp(), ['pad', '0', str(TUNE_TAIL), 'reverb', '30', '50', '70',
                                    'fade', 'h', '0', str(end), '0.9'])


SCENE_CUES = [
    ('MUFFIX1', muffix_yelp),
    ('RETCHCUE', retch),
    ('GASPWAIL', gasp_wail),
    ('CURSEWAIL', curse_wail),
    ('JOLLYTUNE', jolly_tune),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, 'wave')
    os.makedirs(out_dir, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix='brackwold-audio-')
    try:
        b = Builder(out_dir, scratch)
        for name, speaker, words in LINES:
            b.finish(name, b.speak(speaker, words))
        for name, make in SCENE_CUES:
            b.finish(name, make(b))
    finally:
        shutil.rmtree(scratch)


if __name__ == '__main__':
    main()
