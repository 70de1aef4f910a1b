#!/usr/bin/env python3
"""Checks that every user text of the application has a finished French and Hungarian
translation under the context the code looks it up in.

usage: check-translations.py SOURCE_DIR LUPDATE [LANG ...]
Runs lupdate over the sources into a temporary file, then reads every
resources/languages/*_<lang>.ts; prints each text without a translation and exits 1 if any.
It also holds one term per concept: a source text in use is translated the same way in every
context of a language, unless a note on the message (a disambiguation comment, a comment for
translators or a translator's comment) says why it differs there; and the one word a language
uses for a concept (TERMS): a translation in use never says it with one of the other words.
A translation keeps the placeholders (%1, %2, ...) of its source, each as often.
"""
import glob
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def messages(path):
    found = {}
    for context in ET.parse(path).getroot().findall('context'):
        name = context.findtext('name')
        for message in context.findall('message'):
            source = message.findtext('source') or ''
            translation = message.find('translation')
            done = (translation is not None
                    and translation.get('type') not in ('unfinished', 'obsolete', 'vanished')
                    and bool((translation.text or '').strip() or translation.find('numerusform') is not None))
            found[(name, source)] = found.get((name, source), False) or done
    return found


def translations(path):
    """(context, source) -> (translation text, noted) for every finished translation in path."""
    found = {}
    for context in ET.parse(path).getroot().findall('context'):
        name = context.findtext('name')
        for message in context.findall('message'):
            translation = message.find('translation')
            if translation is None or translation.get('type') in ('unfinished', 'obsolete', 'vanished'):
                continue
            text = (translation.text or '').strip()
            if not text:
                continue
            noted = any((message.findtext(tag) or '').strip()
                        for tag in ('comment', 'extracomment', 'translatorcomment'))
            found[(name, message.findtext('source') or '')] = (text, noted)
    return found


# Every folder whose code hands a text to a person: the result texts of protocol/ are shown in
# the pages' failure boxes as they are.
SOURCE_FOLDERS = ('app', 'async', 'device', 'protocol', 'ui', 'usb')

# language -> (the word in use, words that name the same thing and are not used)
TERMS = {
    'fr': [('micrologiciel', ('firmware',)), ('casque', ('headset', 'oreillette'))],
    'hu': [('fejpánt', ('headset', 'fejhallgató'))],
}


def split_terms(paths, wanted, language):
    """Lines naming each translation in use that says a concept with another word than TERMS."""
    lines = []
    for path in paths:
        for (context, source), (text, noted) in sorted(translations(path).items()):
            if (context, source) not in wanted or noted:
                continue
            for word, others in TERMS.get(language, ()):
                for other in others:
                    if other in text.lower():
                        lines.append('[%s] "%s" says "%s", not "%s"'
                                     % (context, source.replace('\n', '\\n')[:60], other, word))
    return lines


def inconsistent(paths, wanted):
    """Lines naming each source text in use translated differently in contexts without a note."""
    by_source = {}
    for path in paths:
        for (context, source), (text, noted) in translations(path).items():
            if (context, source) in wanted and not noted:
                by_source.setdefault(source, {}).setdefault(text, []).append(context)
    lines = []
    for source, variants in sorted(by_source.items()):
        if len(variants) > 1:
            shown = '; '.join('"%s" in %s' % (text, ', '.join(sorted(contexts)))
                              for text, contexts in sorted(variants.items()))
            lines.append('"%s" is translated differently: %s' % (source.replace('\n', '\\n'), shown))
    return lines


def placeholders(paths, wanted):
    """Lines naming each translation in use that drops, adds or renumbers a %1 of its source."""
    marker = re.compile(r'%L?[1-9]')
    lines = []
    for path in paths:
        for context in ET.parse(path).getroot().findall('context'):
            name = context.findtext('name')
            for message in context.findall('message'):
                source = message.findtext('source') or ''
                translation = message.find('translation')
                if (name, source) not in wanted or translation is None:
                    continue
                if translation.get('type') in ('unfinished', 'obsolete', 'vanished'):
                    continue
                texts = [form.text or '' for form in translation.findall('numerusform')] or [translation.text or '']
                for text in texts:
                    if text.strip() and sorted(marker.findall(text)) != sorted(marker.findall(source)):
                        lines.append('[%s] "%s" is translated with other placeholders: "%s"'
                                     % (name, source.replace('\n', '\\n')[:60], text.replace('\n', '\\n')[:60]))
    return lines


def main():
    source_dir, lupdate = sys.argv[1], sys.argv[2]
    languages = sys.argv[3:] or ['fr', 'hu']
    with tempfile.TemporaryDirectory() as folder:
        extracted = os.path.join(folder, 'all.ts')
        subprocess.run([lupdate, '-silent', '-I', source_dir, '-recursive',
                        *[os.path.join(source_dir, d) for d in SOURCE_FOLDERS],
                        '-ts', extracted], check=True)
        wanted = messages(extracted)
    failures = 0
    for language in languages:
        have = {}
        paths = glob.glob(os.path.join(source_dir, 'resources', 'languages', '*_%s.ts' % language))
        for line in (inconsistent(paths, wanted) + split_terms(paths, wanted, language)
                     + placeholders(paths, wanted)):
            failures += 1
            print('%s: %s' % (language, line))
        for path in paths:
            for key, done in messages(path).items():
                have[key] = have.get(key, False) or done
        for (context, source) in sorted(wanted):
            if not have.get((context, source)):
                failures += 1
                print('%s: no translation for [%s] "%s"' % (language, context, source.replace('\n', '\\n')))
    print('%d texts, %d languages: %d problems' % (len(wanted), len(languages), failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
