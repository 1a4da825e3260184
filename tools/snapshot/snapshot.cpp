// status-display-snapshot: renders what the display shows after a sequence of messages, at a pinned
// wall time and virtual tick, into a PNG. Runs the real application modules on a memory display.
//
//   status-display-snapshot [options] OUT.png [MESSAGE | --wait MS | --locale NAME | --screen N |
//                                              --shot FILE.png]...
//     MESSAGE        a JSON file, or inline JSON when it starts with '{'
//     --wait MS      lets MS milliseconds of virtual time pass (timer handler every 20 ms)
//     --locale NAME  makes a language of the translation pack current, as a status message's language
//                    does (any of the nine, e.g. el-GR, which no message can select)
//     --screen N     switches to screen N through the screen manager (log line, onhide, init on first
//                    use, load, onshow); reaches the swiping screens 11 and 12, which no message selects
//     --shot FILE    writes what the display shows at this point of the sequence
//   options:
//     --time UNIX   wall time in Unix seconds (default 1767225600, 2026-01-01 00:00:00 UTC)
//     --size WxH    display size (default 320x240)
//     --assets DIR  directory that holds qorv_lvgl/ (default: the working directory)
//     --report FILE for every picture written, list the visible labels whose text does not fit: wider
//                   or taller than its label, wrapped beyond it, a word broken to fit, scrolling because
//                   it is wider, cut by a parent or the display edge, or letters its font lacks. One
//                   tab-separated line per finding: locale, picture, where, finding, translation keys,
//                   text, details. Empty when everything fits.
//
// Every message, language and screen step is followed by 100 ms of virtual time, so its changes are
// drawn. Relative paths of messages and pictures are taken from the directory the tool was started in,
// not from --assets. Exit status: 0 done, 1 a picture could not be written, 2 bad arguments.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <lodepng.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app_host.h"
#include "i18n/lv_i18n.h"
#include "label_report.h"
#include "lvgl.h"
#include "mainscreen.h"
#include "msg/msg.h"
#include "ui/ui_trigger/ui_trigger.h"

namespace {

FILE* g_report = nullptr;
lv_coord_t g_w = 320, g_h = 240;

// One item of the sequence after OUT.png.
struct Step {
    enum Kind { Message, Wait, Locale, Screen, Shot } kind;
    std::string text; // message JSON, locale name or picture path
    uint32_t number;  // milliseconds or screen index
};

bool read_text(const std::string& arg, std::string* out) {
    if (!arg.empty() && arg[0] == '{') {
        *out = arg;
        return true;
    }
    std::ifstream in(arg, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    *out = ss.str();
    return true;
}

// A path that stays valid after --assets changes the working directory.
std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    return std::string(cwd) + "/" + path;
}

bool parse_u32(const char* s, uint32_t* out) {
    char* end = nullptr;
    const unsigned long long v = strtoull(s, &end, 10);
    if (end == s || *end != '\0' || s[0] == '-' || v > UINT32_MAX) return false;
    *out = uint32_t(v);
    return true;
}

constexpr const char* kScreenNames[SCREEN_NUM] = {
    "welcome",      "idle",         "charging_1_phase", "finishing",    "not_available",
    "swipe_normal", "stopping",     "charging_3_phase", "suspended_ev", "suspended_evse",
    "reservation",  "swiping_card", "swiping_rfid",
};

// The keys whose text in the current language is exactly `text`, comma-separated; "-" for none.
std::string keys_of(const std::string& text) {
    std::string keys;
    // Every key is in the default language's table; the others hold only their own texts.
    for (const lv_i18n_phrase_t* p = lv_i18n_language_pack[0]->singulars; p->key != nullptr; p++) {
        if (text != lv_i18n_get_text(p->key)) continue;
        if (!keys.empty()) keys += ',';
        keys += p->key;
    }
    return keys.empty() ? "-" : keys;
}

// Line ends and tabs written out, so that one finding stays one line of the report.
std::string one_line(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

bool is_inside(const lv_obj_t* obj, const lv_obj_t* ancestor) {
    for (; obj != nullptr; obj = lv_obj_get_parent(obj))
        if (obj == ancestor) return true;
    return false;
}

// The report's lines for what the display shows now: the active screen, then the top layer.
void report_findings(const std::string& picture) {
    const char* locale = lv_i18n_get_current_locale();
    const size_t slash = picture.rfind('/');
    const std::string name = slash == std::string::npos ? picture : picture.substr(slash + 1);
    std::vector<LabelIssue> issues = label_report_check_tree(lv_scr_act());
    const std::vector<LabelIssue> top = label_report_check_tree(lv_layer_top());
    issues.insert(issues.end(), top.begin(), top.end());
    for (const LabelIssue& issue : issues) {
        std::string where = "status bar";
        if (is_inside(issue.label, ui_trigger_panel))
            where = "trigger overlay";
        else if (!is_inside(issue.label, lv_layer_top()) && MainScreen_GetScreen() < SCREEN_NUM)
            where = std::string("screen ") + kScreenNames[MainScreen_GetScreen()];
        fprintf(g_report, "%s\t%s\t%s\t%s\t%s\t%s\t%s (label at %d,%d, %dx%d)\n",
                locale != nullptr ? locale : "-", name.c_str(), where.c_str(),
                label_issue_kind_name(issue.kind), keys_of(issue.text).c_str(), one_line(issue.text).c_str(),
                issue.detail.c_str(), int(issue.box.x1), int(issue.box.y1),
                int(lv_area_get_width(&issue.box)), int(lv_area_get_height(&issue.box)));
    }
}

bool write_png(const std::string& path) {
    lv_refr_now(nullptr);
    const lv_color_t* frame = app_host_frame();
    std::vector<unsigned char> rgb;
    rgb.reserve(size_t(g_w) * size_t(g_h) * 3);
    for (size_t i = 0; i < size_t(g_w) * size_t(g_h); i++) {
        rgb.push_back(frame[i].ch.red);
        rgb.push_back(frame[i].ch.green);
        rgb.push_back(frame[i].ch.blue);
    }
    if (lodepng::encode(path, rgb, unsigned(g_w), unsigned(g_h), LCT_RGB, 8) != 0) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    if (g_report != nullptr) report_findings(path);
    return true;
}

int usage(int status) {
    fprintf(
        status == 0 ? stdout : stderr,
        "usage: status-display-snapshot [--time UNIX] [--size WxH] [--assets DIR] [--report FILE] OUT.png\n"
        "           [MESSAGE.json | '{...}' | --wait MS | --locale NAME | --screen N | --shot "
        "FILE.png]...\n");
    return status;
}

void apply_message(const std::string& text, size_t index) {
    // The program ignores such a datagram too; say so, since it is most likely a typo in a test file.
    if (!app_host_datagram(text.data(), text.size()))
        fprintf(stderr, "warning: message %zu is not valid JSON\n", index);
}

// Reads the sequence; message files are read here, before the working directory changes.
bool parse_steps(int argc, char** argv, int i, std::vector<Step>* steps) {
    for (; i < argc; i++) {
        const std::string arg = argv[i];
        const bool takes_value = arg == "--wait" || arg == "--locale" || arg == "--screen" || arg == "--shot";
        if (takes_value && i + 1 >= argc) return false;
        if (arg == "--wait") {
            uint32_t ms = 0;
            if (!parse_u32(argv[++i], &ms)) return false;
            steps->push_back({Step::Wait, "", ms});
        } else if (arg == "--locale") {
            steps->push_back({Step::Locale, argv[++i], 0});
        } else if (arg == "--screen") {
            uint32_t n = 0;
            if (!parse_u32(argv[++i], &n) || n >= SCREEN_NUM) return false;
            steps->push_back({Step::Screen, "", n});
        } else if (arg == "--shot") {
            steps->push_back({Step::Shot, absolute(argv[++i]), 0});
        } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            return false;
        } else {
            std::string text;
            if (!read_text(arg, &text)) {
                fprintf(stderr, "cannot read %s\n", arg.c_str());
                return false;
            }
            steps->push_back({Step::Message, text, 0});
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int64_t wall = 1767225600;
    const char* assets = nullptr;
    std::string report;
    int i = 1;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i++) {
        const std::string opt = argv[i];
        if (opt == "--help") return usage(0);
        if (i + 1 >= argc) return usage(2);
        const char* val = argv[++i];
        if (opt == "--time") {
            wall = strtoll(val, nullptr, 10);
        } else if (opt == "--size") {
            int w = 0, h = 0;
            if (sscanf(val, "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0 || w > 2048 || h > 2048)
                return usage(2);
            g_w = lv_coord_t(w);
            g_h = lv_coord_t(h);
        } else if (opt == "--assets") {
            assets = val;
        } else if (opt == "--report") {
            report = absolute(val);
        } else {
            return usage(2);
        }
    }
    if (i >= argc) return usage(2);
    const std::string out = absolute(argv[i++]);
    std::vector<Step> steps;
    if (!parse_steps(argc, argv, i, &steps)) return usage(2);
    if (assets != nullptr && chdir(assets) != 0) {
        perror(assets);
        return 2;
    }
    if (!report.empty() && (g_report = fopen(report.c_str(), "w")) == nullptr) {
        perror(report.c_str());
        return 1;
    }

    msg_pin_now(wall);
    app_host_start(g_w, g_h, false);
    MainScreen_Init();
    app_host_run_for(100);
    size_t messages = 0;
    for (const Step& step : steps) {
        switch (step.kind) {
        case Step::Message:
            apply_message(step.text, ++messages);
            app_host_run_for(100);
            break;
        case Step::Wait:
            app_host_run_for(step.number);
            break;
        case Step::Locale:
            if (!MainScreen_SetLocale(step.text.c_str())) {
                fprintf(stderr, "no locale %s in the translation pack\n", step.text.c_str());
                return 2;
            }
            app_host_run_for(100);
            break;
        case Step::Screen:
            MainScreen_SwitchScreen(int(step.number));
            app_host_run_for(100);
            break;
        case Step::Shot:
            if (!write_png(step.text)) return 1;
            break;
        }
    }
    const bool written = write_png(out);
    if (g_report != nullptr && fclose(g_report) != 0) {
        perror(report.c_str());
        return 1;
    }
    return written ? 0 : 1;
}
