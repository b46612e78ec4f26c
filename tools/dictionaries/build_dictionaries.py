#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the game's three word dictionaries, SLESSICO.1 (Italiano),
SLESSICO.2 (English) and SLESSICO.3 (Latino), from word lists that Debian
packages ship.

Only the standard library is used. The same inputs always give the same
bytes: every list is sorted and nothing depends on the time or the locale.

File layout written (positions count from 1):
  1..200    identification text, blanks after it
  201..408  13 entries of 16 bytes for word lengths 3..15: an 8-character
            start field (position of the first word of that length) and an
            8-character end field (position just after the last one), both
            decimal, right-aligned with blanks in front
  409..     the words, grouped by length 3..15 ascending, sorted within a
            length, back to back without separators

Usage:
  build_dictionaries.py [--out DIR] [--collatinus-deb FILE | --collatinus-data DIR]

See data/README.md for the packages this needs.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import unicodedata
from collections import Counter
from pathlib import Path

HERE = Path(__file__).resolve().parent

SHORTEST, LONGEST = 3, 15
IDENT_SIZE = 200
HEADER_SIZE = 408
WORD = re.compile(r"^[A-Z]{%d,%d}$" % (SHORTEST, LONGEST))

# Source files, as the Debian packages install them.
MYTHES_IT = Path("/usr/share/mythes/th_it_IT_v2.dat")
HUNSPELL_IT = Path("/usr/share/hunspell/it_IT")
TESSDATA_ITA = Path("/usr/share/tesseract-ocr/5/tessdata/ita.traineddata")
SCOWL_DIR = Path("/usr/share/dict/scowl")
WORDNET_DIR = Path("/usr/share/wordnet")
HUNSPELL_EN = Path("/usr/share/hunspell/en_US")
COLLATINUS_DATA = Path("/usr/share/collatinus/data")


# ---------------------------------------------------------------- common

def plain_upper(word):
    """Upper case A-Z with accents, macrons and breves taken off; None when
    something else (an apostrophe, a hyphen, a digit, a blank) remains."""
    decomposed = unicodedata.normalize("NFD", word)
    stripped = "".join(c for c in decomposed if not unicodedata.combining(c))
    upper = stripped.upper()
    return upper if WORD.match(upper) else None


def read_blocklist(name):
    words = set()
    for line in (HERE / name).read_text(encoding="utf-8").splitlines():
        line = line.split("#", 1)[0].strip()
        if line:
            words.add(line.upper())
    return words


def dictionary_bytes(title, words):
    """The file contents for a set of upper-case words."""
    by_length = {n: sorted(w for w in words if len(w) == n) for n in range(SHORTEST, LONGEST + 1)}
    ident = "%s - %d words - made by tools/dictionaries/build_dictionaries.py" % (title, len(words))
    assert len(ident) <= IDENT_SIZE
    out = bytearray(ident.ljust(IDENT_SIZE).encode("ascii"))
    position = HEADER_SIZE + 1
    for n in range(SHORTEST, LONGEST + 1):
        end = position + n * len(by_length[n])
        out += b"%8d%8d" % (position, end)
        position = end
    assert len(out) == HEADER_SIZE
    for n in range(SHORTEST, LONGEST + 1):
        out += "".join(by_length[n]).encode("ascii")
    assert len(out) == position - 1
    return bytes(out)


# ---------------------------------------------------------------- hunspell

def read_affixes(aff_path):
    """Suffix rules by flag: a list of (strip, add, compiled condition)."""
    rules = {}
    for line in aff_path.read_text(encoding="utf-8").splitlines():
        parts = line.split()
        if len(parts) >= 5 and parts[0] == "SFX":
            flag, strip, add, cond = parts[1], parts[2], parts[3], parts[4]
            strip = "" if strip == "0" else strip
            add = add.split("/", 1)[0]
            add = "" if add == "0" else add
            rules.setdefault(flag, []).append((strip, add, re.compile("(?:%s)$" % cond)))
    return rules


def read_stems(dic_path):
    """(stem, flags) pairs of a .dic file with one-character flags."""
    lines = dic_path.read_text(encoding="utf-8").splitlines()[1:]
    stems = []
    for line in lines:
        line = line.strip()
        if not line or line.startswith("/"):
            continue
        stem, _, flags = line.partition("/")
        stems.append((stem, flags.split()[0] if flags else ""))
    return stems


def expand(stem, flags, rules):
    """The forms the suffix rules of these flags make from the stem."""
    forms = set()
    for flag in flags:
        for strip, add, cond in rules.get(flag, ()):
            if cond.search(stem) and stem.endswith(strip):
                forms.add(stem[: len(stem) - len(strip)] + add)
    return forms


# ---------------------------------------------------------------- Italiano

# Flags of hunspell-it that inflect nouns and adjectives (plurals, genders,
# superlatives, diminutives).
IT_NOMINAL_FLAGS = set("OQRSWagnopuyN")
IT_INFINITIVE = re.compile(r"(are|ere|ire|rre|rsi)$")
# Endings of the passato remoto and of the subjunctive, which no player
# expects to find in a word list.
IT_FINITE_ENDINGS = re.compile(
    r"(arono|erono|irono|ettero|ammo|emmo|immo|asti|esti|isti|aste|este|iste"
    r"|assi|asse|assimo|assero|essi|esse|essimo|essero|issi|isse|issimo|issero"
    r"|iamo|iate)$")


def tesseract_words(traineddata):
    """The Italian word list inside tesseract's trained data."""
    with tempfile.TemporaryDirectory() as tmp:
        prefix = os.path.join(tmp, "ita.")
        subprocess.run(["combine_tessdata", "-u", str(traineddata), prefix],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        listing = os.path.join(tmp, "words.txt")
        subprocess.run(["dawg2wordlist", prefix + "lstm-unicharset", prefix + "lstm-word-dawg", listing],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Kept as written: a name appears there only with its capital, so
        # asking for the small-letter form leaves names out.
        return {w.strip() for w in Path(listing).read_text(encoding="utf-8").splitlines() if w.strip()}


def italian_words():
    rules = read_affixes(HUNSPELL_IT.with_suffix(".aff"))
    stems = read_stems(HUNSPELL_IT.with_suffix(".dic"))
    usage = tesseract_words(TESSDATA_ITA)

    candidates = set()
    nominal = {}          # stem -> its flags, for stems that are nouns or adjectives
    verb_forms = set()    # every non-infinitive form of a regular verb
    for stem, flags in stems:
        if not stem.islower():  # names, acronyms
            continue
        if IT_INFINITIVE.search(stem) and flags and set(flags) - {"D"}:
            candidates.add(stem)
            verb_forms |= expand(stem, flags, rules) - {stem}
        elif set(flags) & IT_NOMINAL_FLAGS:
            candidates.add(stem)
            nominal[stem] = flags

    headwords = set()
    for line in MYTHES_IT.read_text(encoding="utf-8").splitlines()[1:]:
        if line.startswith("(") or "|" not in line:
            continue
        head = line.split("|", 1)[0]
        if head.islower():
            headwords.add(head)
    candidates |= headwords
    listed = {stem for stem, _ in stems}

    kept = set()
    for word in candidates:
        if word not in usage:
            continue
        # Gerunds ("cantando"), passato remoto and subjunctive: the infinitive
        # stands for its verb. Thesaurus headwords that happen to be verb forms
        # too ("regalo", "lacrima", "veste") are nouns and stay.
        if word.endswith(("ando", "endo")) and word not in nominal:
            continue
        if word in verb_forms and word not in nominal and IT_FINITE_ENDINGS.search(word):
            continue
        # Irregular passato remoto, which the spelling dictionary lists as
        # words of their own: "ammise" beside "ammisero", "ammisi".
        if word not in headwords and (
                (word.endswith("e") and word + "ro" in listed)
                or (word.endswith("i") and word[:-1] + "ero" in listed)):
            continue
        kept.add(word)

    final = set()
    for word in kept:
        # A feminine that is only the -a form of an adjective listed under -o
        # ("adatta" beside "adatto"). Nouns of their own ("casa" beside "caso",
        # "campanella") are thesaurus headwords and stay.
        if word.endswith("a") and word[:-1] + "o" in kept and word not in headwords:
            continue
        # "lavarsi" says nothing "lavare" does not.
        if word.endswith("rsi") and word[:-3] + "re" in kept:
            continue
        final.add(word)
    return upper_set(final, "blocklist_it.txt")


# ---------------------------------------------------------------- English

def english_words():
    scowl = set()
    for name in sorted(os.listdir(SCOWL_DIR)):
        m = re.match(r"^(english|american)-words\.(\d+)$", name)
        if m and int(m.group(2)) <= 35:
            for line in (SCOWL_DIR / name).read_text(encoding="utf-8", errors="replace").splitlines():
                scowl.add(line.strip())

    lemmas = set()
    for part in ("noun", "verb", "adj", "adv"):
        for line in (WORDNET_DIR / ("index." + part)).read_text(encoding="utf-8").splitlines():
            if line and not line.startswith(" "):
                lemmas.add(line.split(" ", 1)[0])
    stems = {stem for stem, _ in read_stems(HUNSPELL_EN.with_suffix(".dic"))}

    chosen = {w for w in scowl if w.islower() and w.isalpha() and (w in lemmas or w in stems)}

    def is_plural(w):
        return ((w.endswith("s") and not w.endswith("ss") and w[:-1] in chosen)
                or (w.endswith("es") and w[:-2] in chosen)
                or (w.endswith("ies") and w[:-3] + "y" in chosen)
                or (w.endswith("ves") and (w[:-3] + "f" in chosen or w[:-3] + "fe" in chosen)))

    # A past form beside its verb ("hammed", "demolished") adds nothing a
    # player would look for.
    def is_past(w):
        return w.endswith("ed") and (w[:-2] in chosen or w[:-1] in chosen
                                     or (len(w) > 4 and w[-3] == w[-4] and w[:-3] in chosen)
                                     or (w.endswith("ied") and w[:-3] + "y" in chosen))

    return upper_set({w for w in chosen if not is_plural(w) and not is_past(w)}, "blocklist_en.txt")


# ---------------------------------------------------------------- Latino

LATIN_MIN_COUNT = 5


def latin_words(data_dir):
    words = set()
    for line in (data_dir / "lemmes.la").read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("!"):
            continue
        fields = line.split("|")
        if len(fields) < 6:
            continue
        info, count = fields[4], fields[-1].strip()
        if not count.isdigit() or int(count) < LATIN_MIN_COUNT:
            continue
        # Proper nouns: capitalised, or marked "npr." in the grammar note.
        lemma = re.sub(r"\d+$", "", fields[0].split("=", 1)[0])
        if not lemma[:1].islower() or "npr" in info:
            continue
        # Classical spelling: one letter I for the vowel and the consonant.
        lemma = lemma.replace("j", "i").replace("ў", "y")
        words.add(lemma)
    return upper_set(words, "blocklist_la.txt")


def upper_set(words, blocklist):
    blocked = read_blocklist(blocklist)
    upper = {u for u in (plain_upper(w) for w in words) if u}
    return {u for u in upper if u not in blocked}


# ---------------------------------------------------------------- main

def counts_line(words):
    counts = Counter(len(w) for w in words)
    return " ".join("%d:%d" % (n, counts[n]) for n in range(SHORTEST, LONGEST + 1))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", type=Path, default=HERE.parent.parent / "data")
    parser.add_argument("--collatinus-deb", type=Path,
                        help="the collatinus .deb, unpacked here without installing it")
    parser.add_argument("--collatinus-data", type=Path, default=COLLATINUS_DATA)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as tmp:
        latin_dir = args.collatinus_data
        if args.collatinus_deb:
            subprocess.run(["dpkg-deb", "-x", str(args.collatinus_deb), tmp], check=True)
            latin_dir = Path(tmp) / "usr/share/collatinus/data"
        languages = [
            (1, "VORTIGO DICTIONARY - ITALIANO", italian_words()),
            (2, "VORTIGO DICTIONARY - ENGLISH", english_words()),
            (3, "VORTIGO DICTIONARY - LATINO", latin_words(latin_dir)),
        ]

    for number, title, words in languages:
        path = args.out / ("SLESSICO.%d" % number)
        path.write_bytes(dictionary_bytes(title, words))
        print("%s: %d words; by length %s" % (path.name, len(words), counts_line(words)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
