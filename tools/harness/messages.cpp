#include "messages.h"

#include <cstdlib>

namespace harness {

const ScreenState& screen_state(int screen) {
    for (const ScreenState& s : kScreenStates)
        if (s.screen == screen) return s;
    std::abort(); // no message selects that screen: a mistake in the caller
}

std::string json_string(std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string status_message(const ScreenState& state, const StatusFields& f, int64_t now_s) {
    const std::string v23 = state.three_phase ? f.voltage23 : "0";
    const std::string expire =
        state.reserved ? std::to_string(now_s + std::strtoll(f.expire_in_s.c_str(), nullptr, 10)) : "0";
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
           R"(},"reserveConnInfo":{"expireDate":)" + expire +
           R"(},"sessionConnInfo":{"ramData":{"_status":)" + json_string(state.status) + R"(,"_errCode":)" +
           json_string(f.conn_err_code) + R"(,"actualMeter":)" + f.actual_meter +
           R"(},"saveData":{"_meterStart":)" + f.meter_start + R"(,"_startTime":)" + f.start_time +
           R"(,"_stopReason":)" + json_string(f.stop_reason) + R"(}},"connConfig":{"connCode":)" +
           json_string(f.conn_code) + R"(,"connQR":)" + json_string(f.conn_qr) + "}}]}";
}

std::string trigger_message(std::string_view command, const TriggerFields& f) {
    std::string m = "{\"Trigger\":" + json_string(command);
    if (!f.msg.empty()) m += ",\"Msg\":" + f.msg;
    if (!f.percent.empty()) m += ",\"percent\":" + f.percent;
    if (!f.seconds.empty()) m += ",\"seconds\":" + f.seconds;
    return m + "}";
}

} // namespace harness
