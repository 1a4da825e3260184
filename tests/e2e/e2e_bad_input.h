// Messages for hardening the program: complete status messages (every key the display reads) for
// each screen a message can select, complete trigger messages, and the same documents with one value
// replaced by a value of another JSON type or an awkward value of its own type. Shared by the
// bad-input catalogue and the soak driver.
#pragma once

#include <cjson/cJSON.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// The state of the connector that makes the selection rules pick one screen.
struct ScreenState {
    int screen;
    const char* name;
    const char* status;      // sessionConnInfo.ramData._status
    const char* run_state;   // m1768Info.runState
    const char* conn_status; // m1768Info.connStatus
    const char* manager;     // stateMngrInfo.runState
    bool three_phase;
    bool reserved;
};

inline constexpr ScreenState c_screen_states[] = {
    {1, "idle", "Available", "S_Idle_Standby", "Unplug", "Idle", true, false},
    {2, "charging_1_phase", "Charging", "S_RUN_K1K2ON", "Charging", "Busy", false, false},
    {3, "finishing", "Finishing", "S_Idle_Standby", "Plug", "Busy", true, false},
    {4, "not_available", "Faulted", "S_Idle_Standby", "Unplug", "Idle", true, false},
    {5, "swipe_normal", "Available", "S_Idle_Standby", "Plug", "Idle", true, false},
    {6, "stopping", "Charging", "S_UserStop", "Charging", "Busy", true, false},
    {7, "charging_3_phase", "Charging", "S_RUN", "Charging", "Busy", true, false},
    {8, "suspended_ev", "SuspendedEV", "S_RUN", "Charging", "Busy", true, false},
    {9, "suspended_evse", "SuspendedEVSE", "S_RUN", "Charging", "Busy", true, false},
    {10, "reservation", "Available", "S_Idle_Standby", "Unplug", "Idle", true, true},
};

// The values of a status message that do not decide the screen. Numbers are JSON number text.
struct StatusFields {
    std::string sw_func = "0";
    std::string language = "0";
    std::string timezone = "56";
    std::string online = "1", rf_fault = "false", eth_status = "1", meter_fault = "false", wifi_status = "2",
                m4g_status = "true";
    std::string point_err_code = "NoError";
    std::string voltage1 = "2301", voltage23 = "2299";
    std::string current1 = "160", current2 = "58", current3 = "61";
    std::string energy = "123456";
    std::string err_code = "3";
    std::string expire_in_s = "3600"; // added to now when the state is reserved
    std::string conn_err_code = "GroundFailure";
    std::string actual_meter = "3456";
    std::string meter_start = "120000";
    std::string start_time = "1767220000";
    std::string stop_reason = "Local";
    std::string conn_code = "CP-0042";
    std::string conn_qr = "https://pay.example/CP-0042";
};

// JSON text of `s` as a string value, escaping only what JSON requires (other bytes go as they are).
inline std::string json_string(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A status message with every key the display reads, selecting `state.screen`.
inline std::string full_status(const ScreenState& state, const StatusFields& f, int64_t now_s) {
    const std::string v23 = state.three_phase ? f.voltage23 : "0";
    std::string expire_date = "0";
    if (state.reserved)
        expire_date = std::to_string(now_s + std::strtoll(f.expire_in_s.c_str(), nullptr, 10));
    return R"({"global":{"userConfigInfo":{"swFunc":)" + f.sw_func + R"(,"language":)" + f.language +
           R"(},"sysconfigInfo":{"timezone":)" + f.timezone + R"(},"drvPointInfo":{"online":)" + f.online +
           R"(,"rfFault":)" + f.rf_fault + R"(,"ethStatus":)" + f.eth_status + R"(,"meterFault":)" +
           f.meter_fault + R"(,"wifiStatus":)" + f.wifi_status + R"(,"m4gStatus":)" + f.m4g_status +
           R"(},"sessionPointInfo":{"ramdData":{"_errCode":)" + json_string(f.point_err_code) +
           R"(}}},"conns":[{"meterInfo":{"voltage":[)" + f.voltage1 + "," + v23 + "," + v23 +
           R"(],"current":[)" + f.current1 + "," + f.current2 + "," + f.current3 + R"(],"Q":[0,0,0,)" +
           f.energy + R"(]},"m1768Info":{"runState":)" + json_string(state.run_state) + R"(,"connStatus":)" +
           json_string(state.conn_status) + R"(,"errCode":)" + f.err_code +
           R"(},"stateMngrInfo":{"runState":)" + json_string(state.manager) +
           R"(},"reserveConnInfo":{"expireDate":)" + expire_date +
           R"(},"sessionConnInfo":{"ramData":{"_status":)" + json_string(state.status) + R"(,"_errCode":)" +
           json_string(f.conn_err_code) + R"(,"actualMeter":)" + f.actual_meter +
           R"(},"saveData":{"_meterStart":)" + f.meter_start + R"(,"_startTime":)" + f.start_time +
           R"(,"_stopReason":)" + json_string(f.stop_reason) + R"(}},"connConfig":{"connCode":)" +
           json_string(f.conn_code) + R"(,"connQR":)" + json_string(f.conn_qr) + "}}]}";
}

inline constexpr const char* c_trigger_commands[] = {"Downloading", "Installing", "Auth", "Prompt", "Test"};

// A trigger message with every key the overlay reads.
inline std::string full_trigger(std::string_view command, std::string_view seconds = "5",
                                std::string_view percent = "42", std::string_view msg = "1") {
    return "{\"Trigger\":" + json_string(command) + ",\"seconds\":" + std::string(seconds) +
           ",\"percent\":" + std::string(percent) + ",\"Msg\":" + std::string(msg) + "}";
}

// A value to put in place of another: a label for failure messages and its raw JSON text (not always
// valid JSON: "NaN" makes the whole datagram unparseable, which is part of the catalogue).
struct Value {
    std::string label;
    std::string json;
};

// One value of each JSON type, and the empty forms of the containers.
inline std::vector<Value> typed_values() {
    return {{"string", "\"x\""},        {"empty string", "\"\""}, {"number", "7"},
            {"true", "true"},           {"false", "false"},       {"null", "null"},
            {"empty object", "{}"},     {"object", "{\"a\":1}"},  {"empty array", "[]"},
            {"array", "[1,\"x\",null]"}};
}

// Numbers at and beyond every limit the conversion rule meets, and number-like text that is no JSON.
inline std::vector<Value> awkward_numbers() {
    std::vector<Value> v;
    for (const char* n :
         {"1e308", "-1e308", "1e309", "-1e309", "4294967296", "4294967295.9", "-2147483649", "2147483648",
          "-0", "0.5", "-0.5", "1e-400", "123456789012345678901234567890", "NaN", "-Infinity", "0x10"}) {
        v.push_back({n, n});
    }
    return v;
}

// Strings with invalid UTF-8 (each form a decoder must survive), escapes, and long texts.
inline std::vector<Value> awkward_strings() {
    std::vector<Value> v = {
        {"lone 0xFF", json_string("\xff")},
        {"truncated 2-byte at the end", json_string("A\xc3")},
        {"truncated 3-byte at the end", json_string("ab\xe2\x82")},
        {"truncated 4-byte in the middle", json_string("a\xf0\x9f\x98z")},
        {"overlong slash", json_string("\xc0\xaf")},
        {"UTF-8 surrogate", json_string("\xed\xa0\x80")},
        {"beyond U+10FFFF", json_string("\xf4\x90\x80\x80")},
        {"continuation bytes only", json_string("\x80\x80\x80\xbf")},
        {"5-byte form", json_string("\xf8\x88\x80\x80\x80")},
        {"lone surrogate escape", "\"\\ud800\""},
        {"reversed surrogate escapes", "\"\\udc00\\ud800\""},
        {"NUL escape", "\"a\\u0000b\""},
        {"format directives", json_string("%s%n%x%99999999d")},
        {"newlines", json_string(std::string(200, '\n'))},
        {"5000 wide letters", json_string(std::string(5000, 'W'))},
    };
    std::string euros;
    for (int i = 0; i < 4000; i++) euros += "\xe2\x82\xac";
    v.push_back({"4000 euro signs", json_string(euros)});
    return v;
}

// A parsed document and the paths of all its items (containers and array elements included).
class Document {
  public:
    explicit Document(const std::string& json) : root_(cJSON_Parse(json.c_str()), cJSON_Delete) {
        if (root_) collect(root_.get(), "");
    }

    bool valid() const { return root_ != nullptr; }
    const std::vector<std::string>& paths() const { return paths_; }

    // The type of the item at `path`: cJSON_String, cJSON_Number, ... (cJSON_Invalid when absent).
    int type_at(const std::string& path) const {
        const cJSON* item = find(root_.get(), path);
        return item ? (item->type & 0xFF) : cJSON_Invalid;
    }

    // The document as text with the item at `path` replaced by raw JSON text; empty when absent.
    std::string with(const std::string& path, const std::string& raw_json) const {
        std::unique_ptr<cJSON, void (*)(cJSON*)> copy(cJSON_Duplicate(root_.get(), true), cJSON_Delete);
        const size_t cut = path.find_last_of(".[");
        cJSON* parent = cut == std::string::npos ? copy.get() : find(copy.get(), path.substr(0, cut));
        if (parent == nullptr) return "";
        cJSON* value = cJSON_CreateRaw(raw_json.c_str());
        const bool done =
            path[cut == std::string::npos ? 0 : cut] == '['
                ? cJSON_ReplaceItemInArray(parent, std::atoi(path.c_str() + cut + 1), value)
                : cJSON_ReplaceItemInObjectCaseSensitive(
                      parent, path.substr(cut == std::string::npos ? 0 : cut + 1).c_str(), value);
        if (!done) {
            cJSON_Delete(value);
            return "";
        }
        char* printed = cJSON_PrintUnformatted(copy.get());
        std::string text = printed ? printed : "";
        cJSON_free(printed);
        return text;
    }

  private:
    void collect(const cJSON* item, const std::string& at) {
        int index = 0;
        for (const cJSON* c = item->child; c != nullptr; c = c->next, index++) {
            const std::string path = cJSON_IsArray(item) ? at + "[" + std::to_string(index) + "]"
                                                         : (at.empty() ? "" : at + ".") + c->string;
            paths_.push_back(path);
            collect(c, path);
        }
    }

    // Keys are matched exactly (the documents here are our own); "a.b[2].c" walks objects and arrays.
    static cJSON* find(cJSON* item, const std::string& path) {
        size_t at = 0;
        while (item != nullptr && at < path.size()) {
            if (path[at] == '.') at++;
            if (path[at] == '[') {
                const size_t end = path.find(']', at);
                item = cJSON_GetArrayItem(item, std::atoi(path.c_str() + at + 1));
                at = end == std::string::npos ? path.size() : end + 1;
            } else {
                const size_t end = path.find_first_of(".[", at);
                const std::string key =
                    path.substr(at, end == std::string::npos ? std::string::npos : end - at);
                item = cJSON_GetObjectItemCaseSensitive(item, key.c_str());
                at = end == std::string::npos ? path.size() : end;
            }
        }
        return item;
    }

    std::unique_ptr<cJSON, void (*)(cJSON*)> root_;
    std::vector<std::string> paths_;
};

// One datagram of the catalogue: what was changed, and the text.
struct Variant {
    std::string what;
    std::string text;
    bool shown = false; // the changed value is a text the panel shows
};

inline bool is_shown_text(const std::string& path) {
    return path.ends_with("connCode") || path.ends_with("connQR");
}

// `doc` with each of its values in turn replaced by every value of another JSON type; numbers also by
// awkward numbers and strings by awkward strings.
inline std::vector<Variant> wrong_value_variants(const std::string& doc) {
    const Document d(doc);
    std::vector<Variant> out;
    for (const std::string& path : d.paths()) {
        const int type = d.type_at(path);
        std::vector<Value> values;
        for (const Value& v : typed_values()) {
            const int vt = Document("[" + v.json + "]").type_at("[0]");
            const bool empty_container = v.json == "{}" || v.json == "[]";
            const bool same = (vt == type) || (type == cJSON_True && vt == cJSON_False) ||
                              (type == cJSON_False && vt == cJSON_True);
            if (!same || empty_container) values.push_back(v);
        }
        if (type == cJSON_Number) {
            const std::vector<Value> more = awkward_numbers();
            values.insert(values.end(), more.begin(), more.end());
        }
        if (type == cJSON_String) {
            const std::vector<Value> more = awkward_strings();
            values.insert(values.end(), more.begin(), more.end());
        }
        for (const Value& v : values) {
            std::string text = d.with(path, v.json);
            if (!text.empty()) out.push_back({path + " = " + v.label, std::move(text), is_shown_text(path)});
        }
    }
    return out;
}

} // namespace e2e
