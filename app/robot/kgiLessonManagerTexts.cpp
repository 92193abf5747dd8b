// The step file reader. Step files are text in the lesson's language: "[n]"
// lines select a step, ":bank,kind,page" lines a bank, kind and page, and
// every other line of more than 2 characters is text of the selected slot.
#include "kgiLessonManager.h"

#include "kutPath.h"

#include <cstring>

namespace {
const std::string EMPTY;

std::size_t slotIndex(long bank, long kind, long page, long step) {
    return static_cast<std::size_t>(((bank * kgiLessonTexts::KINDS + kind) * kgiLessonTexts::PAGES + page) *
                                        kgiLessonTexts::STEPS +
                                    step);
}
} // namespace

bool kgiLessonTexts::inside(long bank, long kind, long page, long step) {
    return bank >= 0 && bank < BANKS && kind >= 0 && kind < KINDS && page >= 0 && page < PAGES && step >= 0 &&
           step < STEPS;
}

void kgiLessonTexts::clear() {
    for (std::string& s : slots) s.clear();
}

const std::string& kgiLessonTexts::get(int bank, int kind, int page, int step) const {
    return inside(bank, kind, page, step) ? slots[slotIndex(bank, kind, page, step)] : EMPTY;
}

bool kgiLessonTexts::isPresent(int bank, int kind, int page, int step) const {
    return get(bank, kind, page, step).size() > PRESENT_ABOVE;
}

std::string kgiLessonTexts::speechOf(const std::string& line) {
    std::string out;
    out.reserve(line.size() + 8);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' || c == '_') {
            out += ' ';
        } else if (line.compare(i, 3, "No.") == 0) {
            out += "number ";
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

void kgiLessonTexts::append(long bank, long kind, long page, long step, const std::string& text) {
    if (!inside(bank, kind, page, step)) return;
    std::string& slot = slots[slotIndex(bank, kind, page, step)];
    if (slot.size() >= SLOT_LIMIT) return;
    slot.append(text, 0, SLOT_LIMIT - slot.size());
}

void kgiLessonTexts::readStream(std::FILE* f, bool english) {
    int bank = 0, kind = 0, page = 0, step = 0;
    char buffer[LINE_BUFFER];
    while (std::fgets(buffer, sizeof buffer, f)) {
        std::size_t n = std::strlen(buffer);
        // Text files written on other systems end their lines in CR LF; the
        // CR is no part of the text (nor of a short line's length). A CR
        // that ends a piece of a long line looks ahead.
        if (n >= 2 && buffer[n - 2] == '\r' && buffer[n - 1] == '\n') {
            buffer[n - 2] = '\n';
            buffer[--n] = '\0';
        } else if (n >= 1 && buffer[n - 1] == '\r') {
            const int next = std::fgetc(f);
            if (next == '\n') buffer[--n] = '\0';
            if (next != EOF) std::ungetc(next, f);
        }
        if (n <= 2) continue;
        if (buffer[0] == '[') {
            std::sscanf(buffer, "[%d]", &step);
            continue;
        }
        if (buffer[0] == ':') {
            std::sscanf(buffer, ":%d,%d,%d", &bank, &kind, &page);
            continue;
        }
        const std::string line(buffer, n);
        append(bank, kind, page, step, line);
        // Only English gets a speech copy; another language's speech text
        // comes from its own kind-1 sections.
        if (english) append(bank, static_cast<long>(kind) + 1, page, step, speechOf(line));
    }
}

bool kgiLessonTexts::readFile(const std::string& path, bool english) {
    clear();
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    readStream(f, english);
    std::fclose(f);
    return true;
}

std::string kgiLessonManager::stepFilePath(const std::string& baseDir, const std::string& modelId, int language,
                                           int mode) {
    const std::string folder = kutAppendPath(kutAppendPath(baseDir, modelId) + "base", "tutorial");
    return kutAppendPath(folder, language == 0 ? "Estep" : "step") + std::to_string(mode) + ".txt";
}
