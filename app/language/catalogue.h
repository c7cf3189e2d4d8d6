// A compiled message catalogue (the .mo files msgfmt writes from po/*.po),
// read strictly: a file that is damaged or cut short anywhere is refused
// whole, never half used.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A plural rule of the catalogue's header ("plural=(n > 1);"), the small C
// expression over n that picks a plural form.
class PluralRule {
public:
    // "" or what is wrong with the expression.
    std::string Parse(const std::string& expression);
    unsigned long FormOf(unsigned long n) const;

    struct Node {
        // 'n', '#' (a number), '?', '!', or the first character of a binary
        // operator ('=' is ==, 'N' is !=, 'l' is <=, 'g' is >=, '&' is &&,
        // '|' is ||).
        char op;
        unsigned long value;
        int a, b, c;
    };

private:
    // The root is the last node; an empty rule is English's n != 1.
    std::vector<Node> nodes_;
};

struct Catalogue {
    // The file's bytes, which the messages point into (every string of a
    // catalogue ends with a NUL): a look-up copies nothing.
    std::shared_ptr<const std::string> bytes;
    // msgid (for a plural message, its singular) -> the translated forms.
    std::unordered_map<std::string_view, std::vector<const char*>> messages;
    unsigned long pluralForms = 2;
    PluralRule plural;
};

// The catalogue in `bytes`; "" or what is wrong with it, in plain words, and
// then `catalogue` is left empty.
std::string ReadCatalogue(const std::string& bytes, Catalogue* catalogue);
