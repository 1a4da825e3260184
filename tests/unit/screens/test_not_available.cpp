#include <gtest/gtest.h>

#include <string>

#include "screen_fixture.h"
#include "ui/ui_not_available/ui_not_available.h"

namespace {

constexpr const char* kBlank = " ";

// A status message with the connector's error code E, the charge point's code G and the connector
// status S, each given as raw JSON or left out when null.
std::string fault_message(const char* e, const char* g, const char* s = R"("Faulted")") {
    std::string ram = "{";
    if (s != nullptr) ram += std::string(R"("_status":)") + s;
    if (e != nullptr) ram += std::string(ram.size() > 1 ? "," : "") + R"("_errCode":)" + e;
    ram += "}";
    std::string json = R"({"conns":[{"sessionConnInfo":{"ramData":)" + ram + "}}]";
    if (g != nullptr)
        json += std::string(R"(,"global":{"sessionPointInfo":{"ramdData":{"_errCode":)") + g + "}}}";
    return json + "}";
}

class NotAvailable : public ScreenFixture {
  protected:
    NotAvailable() : ScreenFixture(SCREEN_OPS(not_available)) {}

    void expect_lines(const std::string& main, const std::string& sub) {
        EXPECT_EQ(text(ui_not_available_fault), main);
        EXPECT_EQ(text(ui_not_available_fault_sub), sub);
    }
};

TEST_F(NotAvailable, BuildsTheWidgetTable) {
    show();
    lv_obj_update_layout(ui_not_available);

    struct Box {
        const char* name;
        lv_obj_t* obj;
        lv_coord_t x, y, w, h;
    };
    const Box boxes[] = {
        {"img", ui_not_available_img, 130, 70, 60, 60},
        {"fault", ui_not_available_fault, 5, 178, 310, 25},
        {"fault_sub", ui_not_available_fault_sub, 5, 213, 310, 25},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.name);
        expect_area(b.obj, b.x, b.y, b.w, b.h);
    }
    // The inform label takes its text's size, centred 30 px below the middle (halves truncated apart).
    expect_centred(ui_not_available_inform, ui_not_available, 0, 0, 0, 30);

    EXPECT_STREQ(static_cast<const char*>(lv_img_get_src(ui_not_available_img)),
                 "A:qorv_lvgl/assets/img/misc_icon/red_triangle_exclaim.png");
    EXPECT_EQ(lv_obj_get_style_text_font(ui_not_available_inform, LV_PART_MAIN), font_loader_get_font(4));
    EXPECT_EQ(lv_obj_get_style_text_font(ui_not_available_fault, LV_PART_MAIN), font_loader_get_font(1));
    EXPECT_EQ(lv_obj_get_style_text_font(ui_not_available_fault_sub, LV_PART_MAIN), font_loader_get_font(1));
    EXPECT_EQ(lv_obj_get_style_text_align(ui_not_available_fault, LV_PART_MAIN), LV_TEXT_ALIGN_CENTER);
    EXPECT_EQ(lv_obj_get_style_text_align(ui_not_available_fault_sub, LV_PART_MAIN), LV_TEXT_ALIGN_CENTER);

    // Before any data: the translated heading, the design-time main line and an empty sub line.
    EXPECT_EQ(text(ui_not_available_inform), "Not available");
    expect_lines("locker fault", "");
}

TEST_F(NotAvailable, EveryRowOfTheReasonTableInAnyLetterCase) {
    show();
    struct Row {
        bool point; // the code is the charge point's, not the connector's
        const char* code;
        const char* main;
        const char* sub;
    };
    const Row rows[] = {
        {false, "ConnectorLockFailure", "lock fault", "ConnectorLockFailure"},
        {true, "EVCommunicationError", kBlank, "EVCommunicationError"},
        {false, "GroundFailure", "Ground fault", "GroundFailure"},
        {false, "HighTemperature", "High temperature fault", "HighTemperature"},
        {false, "InternalError", kBlank, "InternalError"},
        {false, "LocalListConflict", kBlank, "LocalListConflict"},
        {false, "OtherError", kBlank, "Other"},
        {false, "OverCurrentFailure", kBlank, "OverCurrentFailure"},
        {false, "OverVoltage", "Over voltage fault", "OverVoltage"},
        {false, "PowerMeterFailure", "Meter fault", "PowerMeterFailure"},
        {false, "PowerSwitchFailure", "Contactor fault", "PowerSwitchFailure"},
        {false, "ReaderFailure", "Card reader fault", "ReaderFailure"},
        {false, "ResetFailure", kBlank, "ResetFailure"},
        {false, "UnderVoltage", "Low voltage fault", "UnderVoltage"},
        {false, "WeakSignal", kBlank, "WeakSignal"},
        {false, "Emergency Pushed", "Emergrncy fault", "Emergency Pushed"},
        {false, "PhaseSwap", "Phase rotation fault", "PhaseSwap"},
        {false, "RCD_6mA", "Ground fault", "RCD_6mA"},
        {false, "PE_LEAK", "Ground fault", "PE_LEAK"},
        {false, "PME_FAULT", "Ground fault", "PME_FAULT"},
        {false, "PowerTempOver", kBlank, "PowerTempOver"},
        {false, "CP Status E", "Ground fault", "CP Status E"},
        {false, "PE Wiring", "Ground fault", "PE_WIRING"},
        {false, "Randomised delay", kBlank, "Randomised delay"},
        {false, "Off-peak Time", kBlank, "Off-peak Time"},
        {false, "Open Door", kBlank, "Door_Opened"},
        {false, "RemoteDisable", "Remote disable", kBlank},
    };
    for (const Row& r : rows) {
        for (const std::string& code : case_variants(r.code)) {
            SCOPED_TRACE(code);
            const std::string value = quoted(code);
            const char* e = r.point ? R"("NoError")" : value.c_str();
            const char* g = r.point ? value.c_str() : R"("")";
            send(fault_message(e, g));
            expect_lines(r.main, r.sub);

            // An unavailable station says "Remote disable" and keeps the code's sub line.
            send(fault_message(e, g, R"("Unavailable")"));
            expect_lines("Remote disable", r.sub);
        }
    }
}

TEST_F(NotAvailable, UnlistedAbsentAndNonStringCodesShowOther) {
    show();
    struct Case {
        const char* name;
        const char* e; // raw JSON or absent
        const char* g;
    };
    const Case cases[] = {
        {"unlisted", R"("NoError")", R"("NoError")"},
        {"empty", R"("")", R"("")"},
        {"underscore spelling of PE Wiring", R"("PE_WIRING")", nullptr},
        {"code with a trailing blank", R"("GroundFailure ")", nullptr},
        {"both absent", nullptr, nullptr},
        {"number", "5", "7"},
        {"null", "null", "null"},
        {"object", R"({"code":"GroundFailure"})", nullptr},
        // The charge point's code is only ever compared with EVCommunicationError.
        {"connector code sent as the charge point's", nullptr, R"("GroundFailure")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(fault_message(R"("GroundFailure")", nullptr)); // something else first
        send(fault_message(c.e, c.g));
        expect_lines("Other", kBlank);
        send(fault_message(c.e, c.g, R"("Unavailable")"));
        expect_lines("Remote disable", kBlank);
    }
}

TEST_F(NotAvailable, ReasonPrecedenceAndTheStatusOverride) {
    show();
    struct Case {
        const char* name;
        std::string json;
        const char* main;
        const char* sub;
    };
    const Case cases[] = {
        {"lock failure outranks the charge point",
         fault_message(R"("ConnectorLockFailure")", R"("EVCommunicationError")"), "lock fault",
         "ConnectorLockFailure"},
        {"charge point outranks the meter",
         fault_message(R"("PowerMeterFailure")", R"("evcommunicationerror")"), kBlank,
         "EVCommunicationError"},
        {"charge point outranks remote disable",
         fault_message(R"("RemoteDisable")", R"("EVCommunicationError")"), kBlank, "EVCommunicationError"},
        {"RCD while faulted", fault_message(R"("RCD_6mA")", nullptr), "Ground fault", "RCD_6mA"},
        {"status in small letters", fault_message(R"("OverVoltage")", nullptr, R"("unavailable")"),
         "Remote disable", "OverVoltage"},
        {"status absent", fault_message(R"("OverVoltage")", nullptr, nullptr), "Over voltage fault",
         "OverVoltage"},
        {"status not a string", fault_message(R"("OverVoltage")", nullptr, "1"), "Over voltage fault",
         "OverVoltage"},
        {"status only starting with Unavailable",
         fault_message(R"("OverVoltage")", nullptr, R"("Unavailable2")"), "Over voltage fault",
         "OverVoltage"},
        {"remote disable code while faulted", fault_message(R"("RemoteDisable")", nullptr), "Remote disable",
         kBlank},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(fault_message(R"("GroundFailure")", nullptr));
        send(c.json);
        expect_lines(c.main, c.sub);
    }
}

TEST_F(NotAvailable, LogsTheConnectorCode) {
    show();
    AppLog log;
    send(fault_message(R"("GroundFailure")", nullptr));
    send(fault_message(nullptr, nullptr));
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_NE(log.lines()[0].find("[User]"), std::string::npos);
    EXPECT_NE(log.lines()[0].find("ui_not_available_set_data: ErrCode:GroundFailure"), std::string::npos);
    EXPECT_NE(log.lines()[0].find("(in ui_not_available.cpp line #"), std::string::npos);
    // An absent code is named in the log, not passed to the formatter as a null string.
    EXPECT_NE(log.lines()[1].find("ErrCode:(none)"), std::string::npos);
}

TEST_F(NotAvailable, LanguageChangesRewriteAllThreeLines) {
    show();
    send(fault_message(R"("PowerMeterFailure")", nullptr, R"("Unavailable")"));
    expect_lines("Remote disable", "PowerMeterFailure");

    // Shown: every line follows at once, without another status message.
    change_language("de-DE");
    EXPECT_EQ(text(ui_not_available_inform), "Nicht verfügbar");
    expect_lines("Fernabschaltung", "PowerMeterFailure");

    send(fault_message(R"("GroundFailure")", nullptr));
    expect_lines("Erdungsfehler", "GroundFailure");

    // Hidden: the texts change too, so the screen is right when it comes back.
    hide();
    change_language("ru-RU");
    EXPECT_EQ(text(ui_not_available_inform), "Недоступно");
    expect_lines("Ошибка заземления", "GroundFailure");

    change_language("en-US");
    EXPECT_EQ(text(ui_not_available_inform), "Not available");
    expect_lines("Ground fault", "GroundFailure");
}

TEST_F(NotAvailable, LanguageChangeBeforeTheFirstDataTouchesOnlyTheHeading) {
    ASSERT_EQ(lv_i18n_set_locale("el-GR"), 0);
    show();
    // Built while Greek is current: the heading is Greek from the start.
    EXPECT_EQ(text(ui_not_available_inform), "Μη διαθέσιμο");

    change_language("de-DE");
    EXPECT_EQ(text(ui_not_available_inform), "Nicht verfügbar");
    expect_lines("locker fault", "");

    send(fault_message(R"("PowerMeterFailure")", nullptr));
    expect_lines("Zählerfehler", "PowerMeterFailure");
}

TEST_F(NotAvailable, DrawsUnderAVisibleStatusBar) {
    ui_statusbar_set_show(0); // as a screen without the bar would leave it
    show();
    EXPECT_FALSE(hidden(ui_statusbar));
    send(fault_message(R"("GroundFailure")", nullptr));
    advance(100);
    save_frame("not_available/ground_fault.png");

    EXPECT_GT(count_pixels(130, 70, 189, 129, is_red), 300);    // the triangle
    EXPECT_EQ(count_pixels(0, 70, 120, 129, is_lit), 0);        // nothing beside it
    EXPECT_GT(count_pixels(60, 138, 260, 162, is_bright), 50);  // "Not available"
    EXPECT_GT(count_pixels(100, 178, 220, 202, is_bright), 30); // "Ground fault"
    EXPECT_GT(count_pixels(100, 213, 220, 237, is_bright), 30); // "GroundFailure"
    EXPECT_EQ(count_pixels(0, 178, 80, 239, is_lit), 0);        // both lines centred
    EXPECT_EQ(count_pixels(240, 178, 319, 239, is_lit), 0);

    // Leaving gives back the visibility that held before.
    ui_not_available_onhide();
    EXPECT_TRUE(hidden(ui_statusbar));
}

} // namespace
