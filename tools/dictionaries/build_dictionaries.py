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
# PostgreSQL's full-text search ships Snowball's lists of function words
# (articles, pronouns, prepositions, conjunctions, auxiliary verb forms).
POSTGRESQL_DIR = Path("/usr/share/postgresql")


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


def stop_words(language):
    """Snowball's function words of a language, as PostgreSQL installs them
    (the newest installed version's list)."""
    lists = sorted(POSTGRESQL_DIR.glob("*/tsearch_data/%s.stop" % language),
                   key=lambda p: int(p.parts[-3]) if p.parts[-3].isdigit() else 0)
    if not lists:
        sys.exit("no %s.stop under %s: install postgresql" % (language, POSTGRESQL_DIR))
    return {w.strip() for w in lists[-1].read_text(encoding="utf-8").splitlines() if w.strip()}


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


def read_thesaurus():
    """The senses of the thesaurus, as (headword, part of speech, one-word
    synonyms). The parts of speech: "s" for nouns (s.m., s.f. ...), "agg",
    "v", "avv", "prep", "cong", "pron", "inter"."""
    senses = []
    head = None
    for line in MYTHES_IT.read_text(encoding="utf-8").splitlines()[1:]:
        if line.startswith("("):
            tag = line[1:].split(")", 1)[0].split(" ", 1)[0].split(".", 1)[0]
            words = [w.strip() for w in line.split("|")[1:]]
            senses.append((head, tag, [w for w in words if w and " " not in w]))
        elif "|" in line:
            head = line.split("|", 1)[0]
    return senses


# Parts of speech of the thesaurus that make a word a player names.
IT_NAMED_PARTS = {"s", "agg", "v"}
# Regular endings of the past participle and of the imperfect, by the
# ending of the infinitive they come from: "cantato", "sentito", "temuto";
# "stavo", "andava", "dormivano".
IT_PARTICIPLE = (("at", ("are",)), ("it", ("ire",)), ("ut", ("ere", "ire")))
IT_IMPERFECT = (("av", "are"), ("ev", "ere"), ("iv", "ire"))
IT_IMPERFECT_PERSONS = ("o", "i", "a", "amo", "ate", "ano")
# How many adjectives of the thesaurus must give a participle as a synonym
# before it counts as naming a quality.
IT_QUALITY_MIN = 3


def italian_words():
    rules = read_affixes(HUNSPELL_IT.with_suffix(".aff"))
    stems = read_stems(HUNSPELL_IT.with_suffix(".dic"))
    usage = tesseract_words(TESSDATA_ITA)
    snowball = stop_words("italian")
    senses_listed = read_thesaurus()
    thesaurus, synonyms = {}, {}
    for head, part, words in senses_listed:
        thesaurus.setdefault(head, Counter())[part] += 1
        synonyms.setdefault(head, []).extend(words)

    candidates = set()
    nominal = {}          # stem -> its flags, for stems that are nouns or adjectives
    verb_forms = set()    # every non-infinitive form of a regular verb
    infinitives = set()
    participles = set()   # stems that hunspell-it marks as past participles
    for stem, flags in stems:
        if not stem.islower():  # names, acronyms
            continue
        if "E" in flags:        # the flag that adds pronouns to a participle: "fattolo"
            participles.add(stem)
        if IT_INFINITIVE.search(stem) and flags and set(flags) - {"D"}:
            candidates.add(stem)
            infinitives.add(stem)
            verb_forms |= expand(stem, flags, rules) - {stem}
        elif set(flags) & IT_NOMINAL_FLAGS:
            candidates.add(stem)
            nominal[stem] = flags

    headwords = {head for head in thesaurus if head.islower()}
    candidates |= headwords
    listed = {stem for stem, _ in stems}
    # Irregular verb forms are listed without flags: "debbono", "tengo".
    bare = {stem for stem, flags in stems if not flags}
    # The thesaurus gives nouns, adjectives and verbs; a word with fewer
    # senses of those than of the others is a function word or an adverb
    # ("persino", "sotto", "dentro"; "verso" stays).
    def senses(word, kinds):
        return sum(n for part, n in thesaurus[word].items() if part in kinds)
    named = {w for w in headwords
             if senses(w, IT_NAMED_PARTS) >= sum(thesaurus[w].values()) - senses(w, IT_NAMED_PARTS)
             and senses(w, IT_NAMED_PARTS)}
    # Only a noun or adjective sense keeps a word that is also a verb form:
    # "regalo", "ferito", "errato".
    noun_or_adjective = {w for w in headwords if senses(w, {"s", "agg"})}
    nouns = {w for w in headwords if senses(w, {"s"})}

    def is_participle(word):
        if word in participles or (word[-1:] in ("a", "i", "e") and word[:-1] + "o" in participles):
            return True
        for ending, verb_endings in IT_PARTICIPLE:
            for gender in ("o", "a", "i", "e"):
                if word.endswith(ending + gender):
                    stem = word[: -len(ending) - 1]
                    if any(stem + v in infinitives for v in verb_endings):
                        return True
        return False

    # The thesaurus lists many participles as adjectives. One that names a
    # quality has adjectives for synonyms ("errato": erroneo, inesatto,
    # sbagliato), or is itself a synonym that adjectives give ("interessato",
    # under "curioso", "partecipe" ...); one that only tells what was done to
    # something has other participles for synonyms ("lanciato": buttato,
    # gettato, scagliato) and no adjective names it.
    named_by_adjectives = Counter()
    for head, part, words in senses_listed:
        if part == "agg" and not is_participle(head):
            named_by_adjectives.update(words)

    def means_an_action(word):
        said = synonyms.get(word, [])
        return (bool(said) and sum(map(is_participle, said)) * 2 > len(said)
                and named_by_adjectives[word] < IT_QUALITY_MIN)

    def is_imperfect(word):
        for ending, verb_ending in IT_IMPERFECT:
            for person in IT_IMPERFECT_PERSONS:
                if word.endswith(ending + person) and word[: -len(ending + person)] + verb_ending in infinitives:
                    return True
        return False

    def is_adverb(word):
        # "relativamente", "scientemente", "facilmente", "regolarmente" beside
        # their adjective; "demente" and "clemente" have none.
        if not word.endswith("mente"):
            return False
        base = word[:-5]
        return (base.endswith("a") and base[:-1] + "o" in candidates) or base in candidates or (
            base.endswith(("l", "r")) and base + "e" in candidates)

    def is_first_person(word):
        # The spelling dictionary lists some irregular forms as words of their
        # own, beside their third person plural: "debbo" and "debbono".
        return word.endswith("o") and (word[:-1] + "ono" in bare or word[:-1] + "ano" in bare)

    # Snowball's function words (articles, "dalla", "nostro", "stavo") go,
    # but for a noun that shares a spelling with one ("faccia").
    function_words = {w for w in snowball
                      if not (w in headwords and senses(w, {"s"}) * 2 >= sum(thesaurus[w].values()))}

    kept = set()
    for word in candidates:
        if word not in usage or word in function_words:
            continue
        if (word in headwords and word not in named) or is_adverb(word):
            continue
        # Gerunds ("cantando"), passato remoto and subjunctive: the infinitive
        # stands for its verb. Thesaurus headwords that happen to be verb forms
        # too ("regalo", "lacrima", "veste") are nouns and stay.
        if word.endswith(("ando", "endo")) and word not in nominal:
            continue
        if word in verb_forms and word not in nominal and IT_FINITE_ENDINGS.search(word):
            continue
        # Participles ("progettato"), the imperfect ("stavo", "andavo") and
        # any other form of a listed verb stand for the infinitive too, unless
        # the thesaurus knows the word as a noun or an adjective.
        if word not in noun_or_adjective and (
                is_participle(word) or is_imperfect(word) or is_first_person(word)
                or (word in verb_forms and word not in headwords and word not in nominal)):
            continue
        if word not in nouns and is_participle(word) and means_an_action(word):
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
# How often WordNet's sense-tagged corpus must use an -ED, -EST or -ER form
# or an irregular form as a noun or adjective of its own before that form
# stays in the list.
OWN_USE_MIN = 5
# How often that corpus must use an -ING form as a noun before it stays: a
# player names BUILDING, EVENING or MEETING, not SHOWING, AMAZING or SEEING.
ING_NOUN_USE_MIN = 3

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


def wordnet_own_use(kinds=("1", "3", "5")):
    """Lemma -> how many times the tagged corpus uses it as a noun or an
    adjective (sense keys lemma%1:... nouns, %3 and %5 adjectives); with
    kinds=("1",) as a noun only."""
    uses = Counter()
    for line in (WORDNET_DIR / "cntlist.rev").read_text(encoding="utf-8").splitlines():
        fields = line.split()
        if len(fields) == 3:
            lemma, _, sense = fields[0].partition("%")
            if sense[:1] in kinds:
                uses[lemma] += int(fields[2])
    return uses


def wordnet_irregular_forms():
    """The irregular forms of WordNet's exception lists, each of some other
    word: OVERSAW and GOTTEN (verbs), GEESE and CRITERIA (nouns), WORSE
    (adjectives)."""
    forms = set()
    for part in ("noun", "verb", "adj"):
        for line in (WORDNET_DIR / (part + ".exc")).read_text(encoding="utf-8").splitlines():
            fields = line.split()
            if len(fields) >= 2 and fields[0] not in fields[1:]:
                forms.add(fields[0])
    return forms


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
    noun_use = wordnet_own_use(kinds=("1",))
    irregular_forms = wordnet_irregular_forms()
    function_words = stop_words("english")
    own_entry = set()
    for stem, flags in read_stems(HUNSPELL_EN.with_suffix(".dic")):
        if set(flags) & HUNSPELL_EN_OWN_WORD:
            own_entry.add(stem)
        for flag in flags:
            if flag in HUNSPELL_EN_PARTS:
                parts.setdefault(stem, set()).add(HUNSPELL_EN_PARTS[flag])

    # A word a player names is a noun, a verb or an adjective, which WordNet
    # lists; pronouns, prepositions, conjunctions and adverbs are not there
    # (OURSELVES, AMONG, QUICKLY), and neither are slang spellings (GONNA).
    # Snowball's function words take out the few that are also a rare noun
    # or adjective there (ABOUT, THROUGH, OTHER).
    chosen = {w for w in scowl if w.islower() and w.isalpha() and w not in function_words
              and wordnet.get(w, set()) & {"noun", "verb", "adj"}}

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
    # "str", "tend" or "for".
    #
    # An -ING form, further, stays only as a noun (BUILDING, EVENING): the
    # corpus must use it as one at least ING_NOUN_USE_MIN times. An -ING
    # word that WordNet has only as an adjective is a participle too, even
    # when its verb is missing (UNFEELING, OUTSTANDING, EXCRUCIATING).
    def is_bare_inflection(w):
        for suffix, part in EN_INFLECTIONS:
            if not w.endswith(suffix) or len(w) <= len(suffix) + 1:
                continue
            if suffix in COMPARISON and w[: -len(suffix)] + COMPARISON[suffix] not in scowl:
                continue
            if any(b in scowl and part in parts.get(b, ())
                   for b in inflected_bases(w, suffix)):
                if suffix == "ing":
                    own_word = noun_use[w] >= ING_NOUN_USE_MIN
                else:
                    own_word = w in own_entry or own_use[w] >= OWN_USE_MIN
                return not (own_word and sizes[w] <= SCOWL_COMMON)
        return False

    # Irregular past forms, participles and plurals (OVERSAW, GOTTEN, BEATEN,
    # GEESE) stand for their base word too, unless they are words of their
    # own by the same signs as above (FOUND, ROSE, STOVE, HIDDEN, DATA).
    def is_irregular_form(w):
        return w in irregular_forms and not (w in own_entry or own_use[w] >= OWN_USE_MIN)

    def is_ing_adjective(w):
        return w.endswith("ing") and not wordnet[w] & {"noun", "verb"}

    return {w for w in chosen if not is_plural(w) and not is_bare_inflection(w)
            and not is_ing_adjective(w) and not is_irregular_form(w)}


# ---------------------------------------------------------------- Latino

# The count at the end of each lemmes.la line is how often the lemma occurs
# in Collatinus's reference corpus. A word is kept when all the lemmas that
# spell it come to at least LATIN_MIN_COUNT[length] together: common words
# of five to eight letters (ROSA, BELLUM, AMICITIA) occur dozens of times,
# while the long ones are mostly derived words (DESPERATIO, INDIGNATIO) whose
# counts the corpus spreads thin, so their bar is lower to keep several
# hundred of each length a round asks for (ten letters, where the adverbs in
# -ITER and -E that used to fill it are gone, the lowest).
LATIN_MIN_COUNT = {3: 25, 4: 25, 5: 25, 6: 25, 7: 25, 8: 25, 9: 15, 10: 7,
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


# Collatinus's paradigms of pronouns and of adverbs, and the grammar notes
# of invariable words that are nouns or adjectives (NEFAS, NEQUAM, SEPTEM):
# every other invariable word is a preposition, a conjunction, an adverb or
# an interjection.
LATIN_FUNCTION_MODELS = {
    "is", "idem", "hic", "ipse", "ille", "qui", "quicumque", "qualiscumque", "quantuscumque",
    "quidam", "quilibet", "quinam", "quiuis", "quis", "siquis", "quisnam", "quispiam", "quisquam",
    "quisque", "quisquis", "ego", "nos", "uos", "se", "tu", "uter", "uterque", "nemo", "nihil",
    "plerique", "unusquisque", "prcum", "adv", "adve", "advr", "fortiter", "acriter", "misere",
    "humiliter", "facile"}
LATIN_INVARIABLE_NAMED = re.compile(r"\b(n|adj|indecl|indécl|num)\.")
# Two spellings of one word (RELICUUS and RELIQUUS, VINCLUM and VINCULUM)
# have the same English meaning in Collatinus, begin alike and differ by at
# most this many letters (one added, dropped or changed). Two letters would
# also join different words (PATERNUS and PATRIUS).
LATIN_VARIANT_DISTANCE = 1


def edit_distance(a, b):
    row = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        previous, row[0] = row[0], i
        for j, cb in enumerate(b, 1):
            previous, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, previous + (ca != cb))
    return row[-1]


def latin_meanings(data_dir):
    """Lemma as lemmes.la spells it (quantity marks off, number kept) -> its
    English meaning in lemmes.en."""
    meanings = {}
    for line in (data_dir / "lemmes.en").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("!") and ":" in line:
            lemma, meaning = line.split(":", 1)
            if meaning.strip():
                meanings[strip_marks(lemma).lower()] = meaning.strip()
    return meanings


def latin_words(data_dir):
    counts = Counter()
    meanings = latin_meanings(data_dir)
    meaning_of = {}       # word -> English meaning of its most frequent lemma
    best_count = Counter()
    for line in (data_dir / "lemmes.la").read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("!"):
            continue
        fields = line.split("|")
        if len(fields) < 6:
            continue
        model, info, count = fields[1], fields[4], fields[-1].strip()
        if not count.isdigit():
            continue
        # Proper nouns: capitalised, or marked "npr." in the grammar note.
        key = fields[0].split("=", 1)[0]
        lemma = re.sub(r"\d+$", "", key)
        if not lemma[:1].islower() or "npr" in info:
            continue
        # Pronouns, adverbs, prepositions, conjunctions and interjections.
        if model in LATIN_FUNCTION_MODELS or "pron" in info or (
                model == "inv" and not LATIN_INVARIABLE_NAMED.search(info)):
            continue
        # Classical spelling: one letter I for the vowel and the consonant.
        word = plain_upper(lemma.replace("j", "i").replace("ў", "y"))
        if word:
            counts[word] += int(count)
            meaning = meanings.get(strip_marks(key).lower())
            if meaning and int(count) >= best_count[word]:
                meaning_of[word], best_count[word] = meaning, int(count)

    # ADLOQUOR and ALLOQUOR are one word: it is written the usual way, and
    # counted once with the counts of both spellings added together.
    for variant, usual in latin_variants(data_dir):
        for word in sorted(w for w in counts if w.startswith(variant)):
            counts[usual + word[len(variant):]] += counts.pop(word)
            meaning_of.pop(word, None)

    # Other variant spellings (RELICUUS, VINCLUM) go the same way: into the
    # spelling of the same meaning that the corpus uses most.
    by_meaning = {}
    for word, meaning in meaning_of.items():
        by_meaning.setdefault(meaning, []).append(word)
    for words in by_meaning.values():
        words.sort(key=lambda w: (-counts[w], w))
        for i, word in enumerate(words[1:], 1):
            usual = next((u for u in words[:i] if u in counts and u[0] == word[0]
                          and edit_distance(u, word) <= LATIN_VARIANT_DISTANCE), None)
            if usual:
                counts[usual] += counts.pop(word)

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
