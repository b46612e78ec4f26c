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
                        [--before DIR] [--sample N [--seed S]]

It prints, for each file, the words per length (beside those of the files in
--before, when given), the blocked words that the sources held, and with
--sample a random choice of N playable words, the same for the same seed.
It fails, writing nothing for that language, when a length a round draws
would have fewer than WORDS_PER_PLAYED_LENGTH words.

See data/README.md for the packages this needs.
"""

import argparse
import os
import random
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
# A round draws words of 5 to 10 letters, up to four distinct ones of a
# length; a few hundred of each keep rounds from repeating themselves.
PLAYED_MIN, PLAYED_MAX = 5, 10
WORDS_PER_PLAYED_LENGTH = 500
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

def strip_marks(word):
    """Upper case, with accents, macrons and breves taken off."""
    decomposed = unicodedata.normalize("NFD", word)
    return "".join(c for c in decomposed if not unicodedata.combining(c)).upper()


def plain_upper(word):
    """Upper case A-Z with accents, macrons and breves taken off; None when
    something else (an apostrophe, a hyphen, a digit, a blank) remains."""
    upper = strip_marks(word)
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
    return final


# ---------------------------------------------------------------- English

# SCOWL sizes: 10 and 20 hold the most common English words, 35 the words of
# a small everyday dictionary. Every word of the list comes from 35 or below.
SCOWL_LISTED = 35
SCOWL_COMMON = 20
# How often WordNet's sense-tagged corpus must use an -ING, -ED, -EST or -ER
# form as a noun or adjective of its own before that form stays in the list.
OWN_USE_MIN = 5

# Suffix, the part of speech of the word it inflects. -ER only as the
# comparative of an adjective: agent nouns (TEACHER, PAINTER) are words.
EN_INFLECTIONS = (("ing", "verb"), ("ed", "verb"), ("est", "adj"), ("er", "adj"))
# hunspell-en-us flags that mark a stem as a verb (it takes -ING or -ED) or
# as an adjective (it takes -EST); WordNet misses verbs such as "knee". The
# -ER flag is left out: it also makes agent nouns.
HUNSPELL_EN_PARTS = {"G": "verb", "D": "verb", "T": "adj"}
# Flags hunspell-en-us gives a form that is a noun or an adjective of its
# own: a plural or possessive ("meetings", "meeting's"), an adverb in -LY or
# a noun in -NESS ("interestingly", "fixedness"). "asked/U" (unasked) is not.
HUNSPELL_EN_OWN_WORD = set("SMYP")
# A comparative has its superlative beside it in SCOWL and the other way
# round (hotter, hottest); PLUMBER or FOREST have none.
COMPARISON = {"er": "est", "est": "er"}


def scowl_sizes():
    """Word -> the smallest SCOWL size whose English or American list has it."""
    sizes = {}
    for name in sorted(os.listdir(SCOWL_DIR)):
        m = re.match(r"^(english|american)-words\.(\d+)$", name)
        if m:
            size = int(m.group(2))
            for line in (SCOWL_DIR / name).read_text(encoding="utf-8", errors="replace").splitlines():
                word = line.strip()
                sizes[word] = min(sizes.get(word, size), size)
    return sizes


def wordnet_parts():
    """Lemma -> the parts of speech WordNet lists it under."""
    parts = {}
    for part in ("noun", "verb", "adj", "adv"):
        for line in (WORDNET_DIR / ("index." + part)).read_text(encoding="utf-8").splitlines():
            if line and not line.startswith(" "):
                parts.setdefault(line.split(" ", 1)[0], set()).add(part)
    return parts


def wordnet_own_use():
    """Lemma -> how many times the tagged corpus uses it as a noun or an
    adjective (sense keys lemma%1:... nouns, %3 and %5 adjectives)."""
    uses = Counter()
    for line in (WORDNET_DIR / "cntlist.rev").read_text(encoding="utf-8").splitlines():
        fields = line.split()
        if len(fields) == 3:
            lemma, _, sense = fields[0].partition("%")
            if sense[:1] in ("1", "3", "5"):
                uses[lemma] += int(fields[2])
    return uses


def inflected_bases(word, suffix):
    """The words this one would be the -ING, -ED, -EST or -ER form of:
    stop+p+ing, bake+d, happy -> happiest, die -> dying, picnic -> picnicking,
    cagey -> cagiest."""
    stem = word[: -len(suffix)]
    bases = {stem, stem + "e"}
    if len(stem) > 2 and stem[-1] == stem[-2]:
        bases.add(stem[:-1])
    if stem.endswith("ck"):
        bases.add(stem[:-1])
    if suffix == "ing" and stem.endswith("y"):
        bases.add(stem[:-1] + "ie")
    if suffix != "ing" and stem.endswith("i"):
        bases |= {stem[:-1] + "y", stem[:-1] + "ey"}
    return bases


def english_words():
    sizes = scowl_sizes()
    scowl = {w for w, size in sizes.items() if size <= SCOWL_LISTED}
    wordnet = wordnet_parts()
    parts = {w: set(p) for w, p in wordnet.items()}
    own_use = wordnet_own_use()
    stems, flagless, own_entry = set(), set(), set()
    for stem, flags in read_stems(HUNSPELL_EN.with_suffix(".dic")):
        stems.add(stem)
        if not flags:
            flagless.add(stem)
        if set(flags) & HUNSPELL_EN_OWN_WORD:
            own_entry.add(stem)
        for flag in flags:
            if flag in HUNSPELL_EN_PARTS:
                parts.setdefault(stem, set()).add(HUNSPELL_EN_PARTS[flag])

    chosen = {w for w in scowl if w.islower() and w.isalpha() and (w in wordnet or w in stems)}

    def is_plural(w):
        return ((w.endswith("s") and not w.endswith("ss") and w[:-1] in chosen)
                or (w.endswith("es") and w[:-2] in chosen)
                or (w.endswith("zes") and w[:-4] + "z" == w[:-3] and w[:-4] in chosen)
                or (w.endswith("ies") and w[:-3] + "y" in chosen)
                or (w.endswith("ves") and (w[:-3] + "f" in chosen or w[:-3] + "fe" in chosen)))

    # -ING, -ED, -EST and comparative -ER forms ("hammed", "bumming",
    # "wannest", "hotter") stand for their base word, which SCOWL lists. A
    # form stays only when it is a common word in its own right ("meeting",
    # "interested", "greatest", "number"). SCOWL alone cannot tell: it files
    # every inflection under the size of its base word, so "bumming" sits at
    # size 35 with "bum" and "running" at 10 with "run". WordNet's tagged
    # corpus counts each use of a form as a noun or an adjective of its own,
    # and hunspell-en-us gives such a form an entry with its own plural, -LY
    # or -NESS: that is what makes it a word a player would look for. So a
    # form stays when it is a noun or adjective of its own by either source
    # (hunspell's entry, or at least OWN_USE_MIN tagged uses) and SCOWL also
    # ranks it among its most common words (size SCOWL_COMMON or below).
    #
    # The base must be a verb for -ING and -ED and an adjective for -EST and
    # -ER, so that "string", "tender" or "forest" are not taken for forms of
    # "str", "tend" or "for". A word that only hunspell's flagless entries
    # bring in, which is where it spells out irregular forms ("gigging",
    # "picnicking", "cagiest"), needs only a base that SCOWL lists.
    def is_bare_inflection(w):
        irregular = w in flagless and w not in wordnet
        for suffix, part in EN_INFLECTIONS:
            if not w.endswith(suffix) or len(w) <= len(suffix) + 1:
                continue
            if suffix in COMPARISON and w[: -len(suffix)] + COMPARISON[suffix] not in scowl:
                continue
            if any(b in scowl and (irregular or part in parts.get(b, ()))
                   for b in inflected_bases(w, suffix)):
                own_word = w in own_entry or own_use[w] >= OWN_USE_MIN
                return not (own_word and sizes[w] <= SCOWL_COMMON)
        return False

    return {w for w in chosen if not is_plural(w) and not is_bare_inflection(w)}


# ---------------------------------------------------------------- Latino

# The count at the end of each lemmes.la line is how often the lemma occurs
# in Collatinus's reference corpus. A word is kept when all the lemmas that
# spell it come to at least LATIN_MIN_COUNT[length] together: common words
# of five to eight letters (ROSA, BELLUM, AMICITIA) occur dozens of times,
# while the long ones are mostly derived words (DESPERATIO, INDIGNATIO) whose
# counts the corpus spreads thin, so their bar is lower to keep several
# hundred of each length a round asks for.
LATIN_MIN_COUNT = {3: 25, 4: 25, 5: 25, 6: 25, 7: 25, 8: 25, 9: 15, 10: 8,
                   11: 8, 12: 8, 13: 8, 14: 8, 15: 8}


def latin_variants(data_dir):
    """Prefix pairs of assimilations.la (ADS/ASS, INL/ILL, CONL/COLL ...): one
    word may be listed under either spelling, ADLOQUOR or ALLOQUOR. Given as
    (variant, usual) in upper case; the right-hand side is the usual one."""
    pairs = []
    for line in (data_dir / "assimilations.la").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("!") and ":" in line:
            left, right = (strip_marks(part.strip()) for part in line.split(":", 1))
            if left.isalpha() and right.isalpha():
                pairs.append((left, right))
    return pairs


def latin_words(data_dir):
    counts = Counter()
    for line in (data_dir / "lemmes.la").read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("!"):
            continue
        fields = line.split("|")
        if len(fields) < 6:
            continue
        info, count = fields[4], fields[-1].strip()
        if not count.isdigit():
            continue
        # Proper nouns: capitalised, or marked "npr." in the grammar note.
        lemma = re.sub(r"\d+$", "", fields[0].split("=", 1)[0])
        if not lemma[:1].islower() or "npr" in info:
            continue
        # Classical spelling: one letter I for the vowel and the consonant.
        word = plain_upper(lemma.replace("j", "i").replace("ў", "y"))
        if word:
            counts[word] += int(count)

    # ADLOQUOR and ALLOQUOR are one word: it is written the usual way, and
    # counted once with the counts of both spellings added together.
    for variant, usual in latin_variants(data_dir):
        for word in sorted(w for w in counts if w.startswith(variant)):
            counts[usual + word[len(variant):]] += counts.pop(word)

    return {w for w, n in counts.items() if n >= LATIN_MIN_COUNT[len(w)]}


def apply_blocklist(words, blocklist):
    """The words without the blocked ones, and the blocked ones that were there."""
    blocked = read_blocklist(blocklist)
    upper = {u for u in (plain_upper(w) for w in words) if u}
    return upper - blocked, upper & blocked


# ---------------------------------------------------------------- main

def counts_by_length(words):
    counts = Counter(len(w) for w in words)
    return [counts[n] for n in range(SHORTEST, LONGEST + 1)]


def read_dictionary(path):
    """The words of a dictionary file, read back through its header."""
    data = path.read_bytes()
    words = []
    for n in range(SHORTEST, LONGEST + 1):
        entry = IDENT_SIZE + 16 * (n - SHORTEST)
        start, end = int(data[entry:entry + 8]), int(data[entry + 8:entry + 16])
        words += [data[p - 1:p - 1 + n].decode("ascii") for p in range(start, end - n + 1, n)]
    return words


def print_report(name, words, hits, before, sample, seed):
    print("%s: %d words" % (name, len(words)))
    header = "  length   " + "".join("%6d" % n for n in range(SHORTEST, LONGEST + 1)) + "   total"
    print(header)
    if before is not None:
        print("  before   " + "".join("%6d" % c for c in counts_by_length(before)) + "%8d" % len(before))
    print("  after    " + "".join("%6d" % c for c in counts_by_length(words)) + "%8d" % len(words))
    print("  blocklist hits (%d): %s" % (len(hits), " ".join(sorted(hits)) or "-"))
    if sample:
        # Drawn from the lengths a round asks for, in a fixed order, so the
        # same seed always shows the same words.
        playable = sorted(w for w in words if PLAYED_MIN <= len(w) <= PLAYED_MAX)
        print("  sample of %d (seed %d): %s" % (sample, seed, " ".join(random.Random(seed).sample(playable, sample))))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", type=Path, default=HERE.parent.parent / "data")
    parser.add_argument("--collatinus-deb", type=Path,
                        help="the collatinus .deb, unpacked here without installing it")
    parser.add_argument("--collatinus-data", type=Path, default=COLLATINUS_DATA)
    parser.add_argument("--before", type=Path,
                        help="a folder with earlier SLESSICO files, to compare the counts with")
    parser.add_argument("--sample", type=int, default=0, help="show this many random words of each list")
    parser.add_argument("--seed", type=int, default=2026, help="seed of the sample")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as tmp:
        latin_dir = args.collatinus_data
        if args.collatinus_deb:
            subprocess.run(["dpkg-deb", "-x", str(args.collatinus_deb), tmp], check=True)
            latin_dir = Path(tmp) / "usr/share/collatinus/data"
        languages = [
            (1, "VORTIGO DICTIONARY - ITALIANO", italian_words(), "blocklist_it.txt"),
            (2, "VORTIGO DICTIONARY - ENGLISH", english_words(), "blocklist_en.txt"),
            (3, "VORTIGO DICTIONARY - LATINO", latin_words(latin_dir), "blocklist_la.txt"),
        ]

    failed = False
    for number, title, candidates, blocklist in languages:
        words, hits = apply_blocklist(candidates, blocklist)
        path = args.out / ("SLESSICO.%d" % number)
        before = read_dictionary(args.before / path.name) if args.before else None
        thin = [n for n, c in zip(range(SHORTEST, LONGEST + 1), counts_by_length(words))
                if PLAYED_MIN <= n <= PLAYED_MAX and c < WORDS_PER_PLAYED_LENGTH]
        if thin:
            print("%s: fewer than %d words of length %s" % (path.name, WORDS_PER_PLAYED_LENGTH, thin), file=sys.stderr)
            failed = True
            continue
        path.write_bytes(dictionary_bytes(title, words))
        print_report(path.name, words, hits, before, args.sample, args.seed)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
