// The language of every text the program shows: its own English, or a
// translation from a compiled catalogue data/locale/<code>.mo, made by the
// build from po/<code>.po. A language is there when its catalogue is.
#pragma once

#include <string>
#include <vector>

struct Catalogue;

// A text translated where it is written.
#define _(english) Translate(english)
// A text of a table of constants: marked for the translators, translated
// where it is shown (with _ on the table's value).
#define N_(english) english

// The shown language's text for `english`, or `english` itself.
const char* Translate(const char* english);
// The form for `n` of a text with a count ("%d day" / "%d days").
const char* TranslatePlural(const char* one, const char* many, unsigned long n);

// The shown language's code: "en", "fr", ...
const std::string& CurrentLanguage();
// Changes with every change of language: what a cache of translated texts
// compares to know it is stale.
int LanguageGeneration();
// Shows the texts in `code` from `catalogue` (empty for English).
void ShowCatalogue(const std::string& code, Catalogue catalogue);
// Shows the texts in `code` from the catalogue in `folder`. A catalogue
// that cannot be read leaves the program in English and returns why.
std::string UseLanguage(const std::string& code, const std::string& folder);

// The data folder's locale/, where the catalogues are.
std::string LocaleFolder();
// "en" and every language with a catalogue in `folder`, sorted.
std::vector<std::string> AvailableLanguages(const std::string& folder);
// The one after `code` in `available`, round to the first.
std::string NextLanguage(const std::string& code, const std::vector<std::string>& available);

// The user's languages, most wanted first, from the environment's values
// as gettext reads them: LC_ALL, else LC_MESSAGES, else LANG names the
// locale; LANGUAGE, a list separated by ":", goes before it, unless the
// locale is C or POSIX (plain English). Null or "" for a variable unset.
std::vector<std::string> EnvironmentLanguages(const char* language, const char* lcAll, const char* lcMessages,
                                              const char* lang);
// The user's languages on this system: the environment's, or the browser's.
std::vector<std::string> UserLanguages();
// The first of `wanted` ("fr_CA.UTF-8@euro", "fr-CA", "fr") that `available`
// has, as it is ("fr_CA") or as its language alone ("fr"); else "en".
std::string ChooseLanguage(const std::vector<std::string>& wanted, const std::vector<std::string>& available);

// Shows the texts in the language the user chose before (`remembered`, ""
// for none), else in the first of the user's languages that has a
// catalogue; returns what went wrong, the texts then being English.
std::string StartLanguage(const std::string& remembered);

// printf for the translated texts with their placeholders: "Saved %s.".
std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
