#include "app/language/catalogue.h"

#include <cstdint>
#include <cstring>

namespace {

// Far more than any translation of this program: a larger file is no catalogue of it.
constexpr size_t MAX_CATALOGUE_BYTES = 4 << 20;
// Nesting deeper than any real plural rule; it bounds the parser's recursion.
constexpr int MAX_DEPTH = 32;
// Longer than any real plural rule: it bounds the tree, whose evaluation
// recurses as deep as a chain of operators is long.
constexpr size_t MAX_RULE_CHARS = 512;
constexpr unsigned long MAX_PLURAL_FORMS = 6;

// A recursive-descent parser over gettext's plural grammar, loosest
// binding first: ?:, ||, &&, == !=, < > <= >=, + -, * / %, !.
class RuleParser {
public:
    RuleParser(const std::string& text, std::vector<PluralRule::Node>* nodes) : text_(text), nodes_(nodes) {}

    std::string Run() {
        int root = Conditional(0);
        Skip();
        if (problem_.empty() && at_ != text_.size()) problem_ = "unexpected '" + text_.substr(at_, 1) + "'";
        if (problem_.empty() && root != static_cast<int>(nodes_->size()) - 1) Add('(', 0, root);
        return problem_;
    }

private:
    const std::string& text_;
    std::vector<PluralRule::Node>* nodes_;
    size_t at_ = 0;
    std::string problem_;

    void Skip() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n')) ++at_;
    }
    bool Eat(const char* token) {
        Skip();
        size_t length = std::strlen(token);
        if (text_.compare(at_, length, token) != 0) return false;
        // "<" is not the start of "<=", nor "!" of "!=", nor "=" alone.
        if (length == 1 && at_ + 1 < text_.size() && text_[at_ + 1] == '=' && std::strchr("<>!", token[0])) return false;
        at_ += length;
        return true;
    }
    int Add(char op, unsigned long value, int a = -1, int b = -1, int c = -1) {
        nodes_->push_back({op, value, a, b, c});
        return static_cast<int>(nodes_->size()) - 1;
    }
    bool Deep(int depth) {
        if (depth <= MAX_DEPTH) return false;
        if (problem_.empty()) problem_ = "the expression is nested too deeply";
        return true;
    }
    int Conditional(int depth) {
        if (Deep(depth)) return -1;
        int test = Binary(0, depth);
        if (!problem_.empty() || !Eat("?")) return test;
        int yes = Conditional(depth + 1);
        if (problem_.empty() && !Eat(":")) problem_ = "a '?' without its ':'";
        int no = problem_.empty() ? Conditional(depth + 1) : -1;
        return problem_.empty() ? Add('?', 0, test, yes, no) : -1;
    }
    // The binary operators by level, loosest first, each with its node's code.
    int Binary(int level, int depth) {
        static const struct {
            const char* token;
            char op;
        } LEVELS[6][4] = {
            {{"||", '|'}},
            {{"&&", '&'}},
            {{"==", '='}, {"!=", 'N'}},
            {{"<=", 'l'}, {">=", 'g'}, {"<", '<'}, {">", '>'}},
            {{"+", '+'}, {"-", '-'}},
            {{"*", '*'}, {"/", '/'}, {"%", '%'}},
        };
        if (level == 6) return Unary(depth);
        if (Deep(depth)) return -1;
        int left = Binary(level + 1, depth + 1);
        for (;;) {
            if (!problem_.empty()) return -1;
            char op = 0;
            for (const auto& entry : LEVELS[level])
                if (entry.token && Eat(entry.token)) {
                    op = entry.op;
                    break;
                }
            if (!op) return left;
            int right = Binary(level + 1, depth + 1);
            if (problem_.empty()) left = Add(op, 0, left, right);
        }
    }
    int Unary(int depth) {
        if (Deep(depth)) return -1;
        if (Eat("!")) {
            int operand = Unary(depth + 1);
            return problem_.empty() ? Add('!', 0, operand) : -1;
        }
        if (Eat("(")) {
            int inner = Conditional(depth + 1);
            if (problem_.empty() && !Eat(")")) problem_ = "a '(' without its ')'";
            return inner;
        }
        if (Eat("n")) return Add('n', 0);
        Skip();
        if (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            unsigned long value = 0;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
                if (value > 1000000) {
                    problem_ = "a number too large for a plural rule";
                    return -1;
                }
                value = value * 10 + static_cast<unsigned long>(text_[at_++] - '0');
            }
            return Add('#', value);
        }
        problem_ = at_ < text_.size() ? "unexpected '" + text_.substr(at_, 1) + "'" : "the expression ends early";
        return -1;
    }
};

unsigned long Evaluate(const std::vector<PluralRule::Node>& nodes, int at, unsigned long n) {
    const PluralRule::Node& node = nodes[static_cast<size_t>(at)];
    auto side = [&](int i) { return Evaluate(nodes, i, n); };
    switch (node.op) {
        case 'n': return n;
        case '#': return node.value;
        case '(': return side(node.a);
        case '!': return !side(node.a);
        case '?': return side(node.a) ? side(node.b) : side(node.c);
        case '|': return side(node.a) || side(node.b);
        case '&': return side(node.a) && side(node.b);
        default: break;
    }
    unsigned long a = side(node.a), b = side(node.b);
    switch (node.op) {
        case '=': return a == b;
        case 'N': return a != b;
        case 'l': return a <= b;
        case 'g': return a >= b;
        case '<': return a < b;
        case '>': return a > b;
        case '+': return a + b;
        case '-': return a - b;
        case '*': return a * b;
        // A rule that divides by zero is the rule's fault; the first form is as good as any.
        case '/': return b ? a / b : 0;
        case '%': return b ? a % b : 0;
        default: return 0;
    }
}

// A header field's value ("Plural-Forms: " -> "nplurals=2; plural=(n > 1);"), or "".
std::string HeaderField(const std::string& header, const std::string& name) {
    size_t at = header.compare(0, name.size(), name) == 0 ? 0 : header.find("\n" + name);
    if (at == std::string::npos) return std::string();
    at += at == 0 ? name.size() : name.size() + 1;
    return header.substr(at, header.find('\n', at) - at);
}

std::string ReadPluralForms(const std::string& header, Catalogue* c) {
    std::string forms = HeaderField(header, "Plural-Forms:");
    if (forms.empty()) return std::string();
    size_t count = forms.find("nplurals="), rule = forms.find("plural=", count == std::string::npos ? 0 : count + 9);
    if (count == std::string::npos || rule == std::string::npos) return "its plural rule has no nplurals= or plural=";
    c->pluralForms = std::strtoul(forms.c_str() + count + 9, nullptr, 10);
    if (c->pluralForms < 1 || c->pluralForms > MAX_PLURAL_FORMS)
        return "its plural rule names " + std::to_string(c->pluralForms) + " forms (1 to 6 are possible)";
    std::string expression = forms.substr(rule + 7);
    expression = expression.substr(0, expression.find(';'));
    std::string problem = c->plural.Parse(expression);
    return problem.empty() ? problem : "its plural rule cannot be read: " + problem;
}

}  // namespace

std::string PluralRule::Parse(const std::string& expression) {
    nodes_.clear();
    if (expression.size() > MAX_RULE_CHARS) return "the expression is too long";
    std::string problem = RuleParser(expression, &nodes_).Run();
    if (!problem.empty()) nodes_.clear();
    return problem;
}

unsigned long PluralRule::FormOf(unsigned long n) const {
    if (nodes_.empty()) return n != 1;
    return Evaluate(nodes_, static_cast<int>(nodes_.size()) - 1, n);
}

std::string ReadCatalogue(const std::string& bytes, Catalogue* catalogue) {
    *catalogue = Catalogue();
    if (bytes.size() > MAX_CATALOGUE_BYTES) return "it is larger than 4 MiB, far too large for a catalogue";
    if (bytes.size() < 28) return "it is too short to be a message catalogue";
    // msgfmt writes the machine's own byte order; the magic number tells which.
    auto word = [&](size_t at, bool swapped) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
        uint32_t little = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
        uint32_t big = p[3] | p[2] << 8 | p[1] << 16 | static_cast<uint32_t>(p[0]) << 24;
        return swapped ? big : little;
    };
    bool swapped = word(0, true) == 0x950412de;
    if (!swapped && word(0, false) != 0x950412de) return "it is not a message catalogue (.mo)";
    if (word(4, swapped) >> 16 != 0) return "it is a catalogue of a newer format";
    uint64_t count = word(8, swapped), originals = word(12, swapped), translations = word(16, swapped);
    if (originals + count * 8 > bytes.size() || translations + count * 8 > bytes.size())
        return "its tables run past its end: the file is cut short";
    Catalogue read;
    read.bytes = std::make_shared<const std::string>(bytes);
    const std::string& kept = *read.bytes;
    // One string of a table, which must end with the NUL that msgfmt writes after it.
    std::string problem;
    auto text = [&](uint64_t table, uint64_t i) {
        uint64_t length = word(table + i * 8, swapped), at = word(table + i * 8 + 4, swapped);
        if (at + length >= kept.size() || kept[at + length] != '\0') {
            problem = "its string " + std::to_string(i + 1) + " runs past its end: the file is damaged";
            return std::string_view();
        }
        return std::string_view(kept.data() + at, length);
    };
    for (uint64_t i = 0; i < count && problem.empty(); ++i) {
        std::string_view id = text(originals, i), translated = text(translations, i);
        if (!problem.empty()) break;
        if (id.empty()) {
            std::string type = HeaderField(std::string(translated), "Content-Type:");
            if (!type.empty() && type.find("charset=UTF-8") == std::string::npos)
                return "it is not in UTF-8 (" + type + ")";
            problem = ReadPluralForms(std::string(translated), &read);
            continue;
        }
        // The forms of a plural message are separated by NULs.
        std::vector<const char*> forms;
        for (size_t start = 0;;) {
            forms.push_back(translated.data() + start);
            size_t end = translated.find('\0', start);
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
        read.messages[id.substr(0, id.find('\0'))] = forms;
    }
    if (!problem.empty()) return problem;
    *catalogue = std::move(read);
    return std::string();
}
