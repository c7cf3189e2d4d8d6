#!/bin/sh
# Writes the template of every text to translate, as xgettext finds them in
# the program, the page, the launcher and the AppStream metadata, and as
# po4a finds them in the manual page, to $1
# (po/grimalou.pot when the template is brought up to date). Locations name
# files, not lines, so that editing code elsewhere leaves the template as it is.
set -eu
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
common="--from-code=UTF-8 --add-comments=TRANSLATORS: --add-location=file --sort-by-file
        --package-name=Grimalou --msgid-bugs-address=developers@grimalou.org"
# shellcheck disable=SC2086
xgettext $common --language=C++ --keyword=_ --keyword=N_ --keyword=TranslatePlural:1,2 \
  --output="$work/program.pot" $(find app -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
# shellcheck disable=SC2086
xgettext $common --language=JavaScript --keyword=T --keyword=N_ \
  --output="$work/page.pot" web/index.html $(find web -name '*.js' -not -path '*/node_modules/*' | LC_ALL=C sort)
# shellcheck disable=SC2086
xgettext $common --language=Desktop --output="$work/launcher.pot" packaging/grimalou.desktop.in
# shellcheck disable=SC2086
xgettext $common --its=/usr/share/gettext/its/metainfo.its --output="$work/metainfo.pot" \
  packaging/grimalou.metainfo.xml.in
# The manual page, a paragraph a message (po4a speaks of itself on stderr).
po4a-updatepo --format man --master packaging/grimalou.6.in --master-charset UTF-8 \
  --po "$work/manual.pot" --package-name Grimalou --msgid-bugs-address developers@grimalou.org >/dev/null 2>&1
pots=""
for pot in program page launcher metainfo manual; do
  [ -f "$work/$pot.pot" ] && pots="$pots $work/$pot.pot"
done
# shellcheck disable=SC2086
msgcat --use-first --add-location=file --sort-by-file $pots | sed '/^"POT-Creation-Date:/d' > "$out"
