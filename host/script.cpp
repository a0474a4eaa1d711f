#include "host/script.h"

#include <cstdlib>
#include <cstring>

namespace {

std::string script_trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Splits at ";" and new lines outside double quotes.
std::vector<std::string> script_split(const std::string& text) {
    std::vector<std::string> parts;
    std::string cur;
    bool quoted = false;
    for (char ch : text) {
        if (ch == '"') quoted = !quoted;
        if (!quoted && (ch == ';' || ch == '\n')) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    parts.push_back(cur);
    return parts;
}

bool script_number(const std::string& s, int64_t* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 0);
    if (*end != '\0') return false;
    *out = v;
    return true;
}

// "X,Y" with optional blanks.
bool script_point(const std::string& s, int64_t* x, int64_t* y) {
    size_t comma = s.find(',');
    if (comma == std::string::npos) return false;
    return script_number(script_trim(s.substr(0, comma)), x) &&
           script_number(script_trim(s.substr(comma + 1)), y);
}

// A text argument: as written, or the inside of double quotes.
bool script_text(const std::string& s, std::string* out) {
    if (!s.empty() && s.front() == '"') {
        if (s.size() < 2 || s.back() != '"') return false;
        *out = s.substr(1, s.size() - 2);
    } else {
        *out = s;
    }
    return true;
}

struct Word { const char* name; StepKind kind; };
const Word script_words[] = {
    {"install", StepKind::install}, {"kill", StepKind::kill}, {"unload", StepKind::unload},
    {"load", StepKind::load}, {"press", StepKind::press}, {"event", StepKind::event},
    {"hold", StepKind::hold}, {"wait", StepKind::wait}, {"update", StepKind::update},
    {"indicator", StepKind::indicator}, {"tooltip", StepKind::tooltip}, {"frame", StepKind::frame},
    {"service", StepKind::service}, {"windows", StepKind::windows},
    {"broadcast", StepKind::broadcast}, {"expect-indicator", StepKind::expect_indicator},
    {"expect-image", StepKind::expect_image}, {"expect-tooltip", StepKind::expect_tooltip},
    {"expect-message", StepKind::expect_message}, {"expect-no-message", StepKind::expect_no_message},
    {"expect-windows", StepKind::expect_windows},
};

bool script_step(const std::string& src, ScriptStep* step, std::string* why) {
    size_t sp = src.find_first_of(" \t");
    std::string word = src.substr(0, sp);
    std::string rest = sp == std::string::npos ? std::string() : script_trim(src.substr(sp));
    const Word* found = nullptr;
    for (const Word& w : script_words)
        if (word == w.name) found = &w;
    if (!found) {
        *why = "unknown step \"" + word + "\"";
        return false;
    }
    step->kind = found->kind;
    step->source = src;
    switch (step->kind) {
    case StepKind::install:
    case StepKind::expect_tooltip:
    case StepKind::expect_message:
        if (!script_text(rest, &step->text)) {
            *why = "unclosed quote";
            return false;
        }
        return true;
    case StepKind::frame:
        if (rest.empty() || rest.find_first_of("/\\:\"") != std::string::npos) {
            *why = "frame needs a plain NAME";
            return false;
        }
        step->text = rest;
        return true;
    case StepKind::press:
        if (!script_point(rest, &step->a, &step->b)) {
            *why = "expected X,Y";
            return false;
        }
        return true;
    case StepKind::event:
    case StepKind::hold: {
        size_t last = rest.find_last_of(" \t");
        if (last == std::string::npos || !script_point(script_trim(rest.substr(0, last)), &step->a, &step->b) ||
            !script_number(rest.substr(last + 1), &step->c) || step->c < 0) {
            *why = step->kind == StepKind::event ? "expected X,Y FLAGS" : "expected X,Y MS";
            return false;
        }
        return true;
    }
    case StepKind::wait:
    case StepKind::expect_indicator:
    case StepKind::expect_image:
    case StepKind::expect_windows:
        if (!script_number(rest, &step->a) || step->a < 0) {
            *why = "expected a number of at least 0";
            return false;
        }
        return true;
    case StepKind::service: {
        size_t s2 = rest.find_first_of(" \t");
        std::string first = rest.substr(0, s2);
        if (!script_number(first, &step->a) ||
            (s2 != std::string::npos && !script_number(script_trim(rest.substr(s2)), &step->b))) {
            *why = "expected N [EXTRA]";
            return false;
        }
        return true;
    }
    default:
        if (!rest.empty()) {
            *why = "takes no argument";
            return false;
        }
        return true;
    }
}

}  // namespace

bool script_parse(const std::string& text, std::vector<ScriptStep>* steps, std::string* error) {
    steps->clear();
    error->clear();
    int n = 0;
    for (const std::string& part : script_split(text)) {
        std::string src = script_trim(part);
        if (src.empty() || src[0] == '#') continue;
        ++n;
        ScriptStep step{};
        std::string why;
        if (!script_step(src, &step, &why)) {
            *error = "step " + std::to_string(n) + " \"" + src + "\": " + why;
            return false;
        }
        steps->push_back(step);
    }
    return true;
}
