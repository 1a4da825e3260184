#!/usr/bin/env python3
"""Spell-checks the eight translated string tables (src/i18n/lang/*.json) with hunspell, and Finnish
with Voikko. The words below are skipped: the dictionaries do not know them, but they are right
(acronyms and technical compounds).

Usage: check_spelling.py [REPO_ROOT]
"""
import glob
import json
import os
import re
import subprocess
import sys

ACCEPTED = {
    "*": {"CP", "ID", "QR", "RFID", "TF", "min"},
    "de-DE": {"CP-Fehler", "Deautorisiert", "Kartenleserfehler", "Netzwerk-Updatemodus", "QR-Code",
              "RFID-Karte", "Schützfehler", "TF-Update", "Verriegelungsfehler"},
    "el-GR": {"ΑΠΟΚΛΕΙΣΜΕΝΟ", "επαφέα"},
    "es-ES": {"Sobrecorriente", "Sobretensión", "sobretensión", "contactor"},
    "fi-FI": {"CP-vika", "Hätäseisvika", "Kontaktorivika", "QR-koodi", "RFID-kortti", "RFID-korttia",
              "RFID:llä", "TF-päivitys"},
    "it-IT": {"Deautorizzato", "Reset", "dell"},
    "nl-NL": {"CP-fout", "Contactorfout", "Kaartlezerfout", "Meterfout", "Netwerk-updatemodus",
              "Noodstopfout", "TF-kaart"},
    "ru-RU": {"деактивирована", "отсканируйте"},
}


def tables(root):
    out = {}
    for path in sorted(glob.glob(os.path.join(root, "src/i18n/lang/*.json"))):
        table = json.load(open(path, encoding="utf-8"))
        out[table["locale"]] = dict(table["texts"])
    return out


def unknown_words(locale, texts):
    if locale == "fi-FI":
        import libvoikko  # Debian: python3-libvoikko with voikko-fi
        voikko = libvoikko.Voikko("fi")
        return {w for t in texts for w in re.findall(r"[\w:-]+\w", t) if not voikko.spell(w)}
    run = subprocess.run(["hunspell", "-d", locale.replace("-", "_"), "-l"], input="\n".join(texts),
                         capture_output=True, text=True, check=True)
    return set(run.stdout.split())


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    tabs = tables(root)
    tabs.pop("en-US")
    failures = 0
    for locale, table in tabs.items():
        texts = list(table.values())
        for word in sorted(unknown_words(locale, texts) - ACCEPTED["*"] - ACCEPTED.get(locale, set())):
            print(f"{locale}: unknown word '{word}' in", [t for t in texts if word in t])
            failures += 1
    print(f"check_spelling: {failures} unknown words in {len(tabs)} tables")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
