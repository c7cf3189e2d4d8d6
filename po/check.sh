#!/bin/sh
# Every catalogue is well formed, translates every message of the template
# with none left fuzzy, and the template is what xgettext finds in the
# sources now: a text added without its translation fails here.
set -eu
cd "$(dirname "$0")/.."
status=0
fresh=$(mktemp)
trap 'rm -f "$fresh"' EXIT
po/extract.sh "$fresh"
if ! diff -u po/grimalou.pot "$fresh"; then
  echo "po/grimalou.pot is not what the sources hold now: run po/extract.sh po/grimalou.pot, then"
  echo "msgmerge --update --add-location=file --sort-by-file po/CODE.po po/grimalou.pot and translate"
  status=1
fi
for po in po/*.po; do
  msgfmt --check --check-accelerators=_ -o /dev/null "$po" || status=1
  # Every message of the template is in the catalogue, translated and not fuzzy.
  msgcmp "$po" po/grimalou.pot || status=1
  counts=$(LC_ALL=C msgfmt --statistics -o /dev/null "$po" 2>&1)
  case "$counts" in
    *fuzzy* | *untranslated*) echo "$po: $counts"; status=1 ;;
  esac
done
[ "$status" -eq 0 ] && echo "1 passed, 0 failed: the catalogues are whole and the template is current"
exit "$status"
