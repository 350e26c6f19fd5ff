#include "StageDeclarations.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

namespace {

struct Token {
    std::string text;
    int line;
};

bool isIdentifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isIdentifier(const Token& token) {
    return isIdentifierStart(token.text[0]);
}

// The text as tokens: names, numbers and single punctuation characters, each
// with its line in the text. Directives are left out; "#line N" too moves no
// line, so that every line is the one the author's editor shows.
std::vector<Token> tokenize(const std::string& s) {
    std::vector<Token> tokens;
    int line = 1;
    bool lineStart = true;
    const size_t size = s.size();
    for (size_t i = 0; i < size;) {
        const char c = s[i];
        if (c == '\n') {
            ++line;
            lineStart = true;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (s.compare(i, 2, "//") == 0) {
            while (i < size && s[i] != '\n') {
                ++i;
            }
        } else if (s.compare(i, 2, "/*") == 0) {
            for (i += 2; i < size && s.compare(i, 2, "*/") != 0; ++i) {
                line += s[i] == '\n';
            }
            i += 2;
        } else if (c == '#' && lineStart) {
            // A directive, to the end of its line or further after a '\'.
            for (; i < size && s[i] != '\n'; ++i) {
                if (s[i] == '\\' && i + 1 < size && s[i + 1] == '\n') {
                    ++line;
                    ++i;
                }
            }
        } else if (isIdentifierChar(c) || (c == '.' && i + 1 < size &&
                                           std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            const size_t start = i;
            const bool number = !isIdentifierStart(c);
            while (
                i < size &&
                (isIdentifierChar(s[i]) || (number && s[i] == '.') ||
                 (number && (s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E') &&
                  s.compare(start, 2, "0x") != 0 && s.compare(start, 2, "0X") != 0))) {
                ++i;
            }
            tokens.push_back({s.substr(start, i - start), line});
            lineStart = false;
        } else {
            tokens.push_back({std::string(1, c), line});
            lineStart = false;
            ++i;
        }
    }
    return tokens;
}

class Reader {
  public:
    Reader(const std::string& text, StageKind kind) : tokens_(tokenize(text)), kind_(kind) {}

    StageInterface read() {
        size_t statement = 0;
        for (size_t i = 0; i < tokens_.size();) {
            const std::string& t = tokens_[i].text;
            if (t == "{" && i > statement && tokens_[i - 1].text == ")") {
                i = closing(i) + 1; // a function's body
                statement = i;
            } else if (t == "(" || t == "[" || t == "{") {
                i = closing(i) + 1;
            } else if (t == ";") {
                declaration(statement, i);
                statement = ++i;
            } else {
                ++i;
            }
        }
        markUses();
        return std::move(stage_);
    }

  private:
    // Each declared name with the statement that declares it and the names
    // whose appearance elsewhere counts as its use.
    struct Entry {
        std::vector<Declared>* list;
        size_t index;
        size_t begin, end;
        std::vector<std::string> useNames;
    };

    // The bracket that closes the one at `open`, or the last token.
    size_t closing(size_t open) const {
        int depth = 0;
        for (size_t i = open; i < tokens_.size(); ++i) {
            const std::string& t = tokens_[i].text;
            depth += t == "(" || t == "[" || t == "{";
            depth -= t == ")" || t == "]" || t == "}";
            if (depth == 0) {
                return i;
            }
        }
        return tokens_.size() - 1;
    }

    bool is(size_t i, const char* text) const {
        return i < tokens_.size() && tokens_[i].text == text;
    }

    // Tokens [from, to] as GLSL is written: "float[4]", "{ vec2 p; float q[2]; }".
    std::string spelled(size_t from, size_t to) const {
        std::string text;
        for (size_t i = from; i <= to && i < tokens_.size(); ++i) {
            const std::string& t = tokens_[i].text;
            const bool tight = text.empty() || t == "[" || t == "]" || t == ")" || t == "," ||
                               t == ";" || text.back() == '[' || text.back() == '(';
            text += (tight ? "" : " ") + t;
        }
        return text;
    }

    // "[4][2]" and the like from `i` on; `i` ends past them.
    std::string arraySuffix(size_t& i) const {
        std::string suffix;
        while (is(i, "[")) {
            const size_t close = closing(i);
            suffix += spelled(i, close);
            i = close + 1;
        }
        return suffix;
    }

    std::vector<Declared>* listFor(const std::string& storage) {
        if (storage == "in" || storage == "attribute" ||
            (storage == "varying" && kind_ == StageKind::Fragment)) {
            return &stage_.inputs;
        }
        if (storage == "out" || storage == "varying") {
            return &stage_.outputs;
        }
        return storage == "uniform" ? &stage_.uniforms : nullptr;
    }

    // The statement [begin, end), its ';' at `end`, where it declares inputs,
    // outputs or uniforms.
    void declaration(size_t begin, size_t end) {
        static const std::set<std::string> storages = {
            "in", "out", "uniform", "attribute", "varying", "buffer", "shared", "const", "patch"};
        static const std::set<std::string> interpolations = {"flat", "smooth", "noperspective"};
        static const std::set<std::string> others = {
            "centroid", "sample",   "invariant", "precise",  "highp",    "mediump",
            "lowp",     "coherent", "volatile",  "restrict", "readonly", "writeonly"};
        std::string storage, interpolation;
        int location = -1;
        size_t i = begin;
        for (; i < end; ++i) {
            const std::string& word = tokens_[i].text;
            if (word == "layout" && is(i + 1, "(")) {
                const size_t close = closing(i + 1);
                for (size_t k = i + 2; k + 2 < close; ++k) {
                    if (tokens_[k].text == "location" && tokens_[k + 1].text == "=") {
                        location =
                            static_cast<int>(std::strtol(tokens_[k + 2].text.c_str(), nullptr, 0));
                    }
                }
                i = close;
            } else if (storages.count(word) > 0) {
                storage = storage.empty() ? word : storage;
            } else if (interpolations.count(word) > 0) {
                interpolation = word == "smooth" ? "" : word;
            } else if (others.count(word) == 0) {
                break;
            }
        }
        std::vector<Declared>* list = listFor(storage);
        if (list == nullptr || i >= end || !isIdentifier(tokens_[i]) ||
            tokens_[i].text == "struct") {
            return;
        }
        const size_t typeToken = i++;
        const std::string type = tokens_[typeToken].text + arraySuffix(i);
        Declared declared;
        declared.location = location;
        declared.interpolation = interpolation;
        if (is(i, "{")) {
            const size_t close = closing(i);
            declared.name = tokens_[typeToken].text;
            declared.type = spelled(i, close);
            declared.line = tokens_[typeToken].line;
            // Members are reached through the instance, or by their own
            // names where the block has none.
            std::vector<std::string> useNames;
            if (close + 1 < end && isIdentifier(tokens_[close + 1])) {
                useNames.push_back(tokens_[close + 1].text);
            } else {
                for (size_t k = i + 1; k < close; ++k) {
                    const std::string& next = tokens_[k + 1].text;
                    if (isIdentifier(tokens_[k]) && (next == ";" || next == "," || next == "[")) {
                        useNames.push_back(tokens_[k].text);
                    }
                }
            }
            add(list, declared, begin, end, useNames);
            return;
        }
        while (i < end && isIdentifier(tokens_[i])) {
            declared.name = tokens_[i].text;
            declared.line = tokens_[i].line;
            ++i;
            declared.type = type + arraySuffix(i);
            add(list, declared, begin, end, {declared.name});
            // Past an initialiser to the next name.
            while (i < end && !is(i, ",")) {
                i = is(i, "(") || is(i, "[") || is(i, "{") ? closing(i) + 1 : i + 1;
            }
            ++i;
        }
    }

    void add(std::vector<Declared>* list, const Declared& declared, size_t begin, size_t end,
             std::vector<std::string> useNames) {
        if (declared.name.rfind("gl_", 0) == 0) {
            return; // a built-in variable redeclared
        }
        list->push_back(declared);
        entries_.push_back({list, list->size() - 1, begin, end, std::move(useNames)});
    }

    void markUses() {
        std::map<std::string, std::vector<size_t>> uses;
        for (size_t i = 0; i < tokens_.size(); ++i) {
            if (isIdentifier(tokens_[i]) && !(i > 0 && tokens_[i - 1].text == ".")) {
                uses[tokens_[i].text].push_back(i);
            }
        }
        for (const Entry& entry : entries_) {
            bool used = false;
            for (const std::string& name : entry.useNames) {
                for (size_t at : uses[name]) {
                    used = used || at < entry.begin || at > entry.end;
                }
            }
            (*entry.list)[entry.index].used = used;
        }
    }

    std::vector<Token> tokens_;
    StageKind kind_;
    StageInterface stage_;
    std::vector<Entry> entries_;
};

} // namespace

StageInterface readStageInterface(const std::string& preprocessed, StageKind kind) {
    return Reader(preprocessed, kind).read();
}
