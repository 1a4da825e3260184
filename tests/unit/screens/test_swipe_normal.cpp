#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screen_fixture.h"
#include "ui/ui_swipe_normal/ui_swipe_normal.h"

namespace {

// Where the QR code is drawn: 100 x 100, centred 80 px right of and 25 px above the middle.
constexpr lv_coord_t kQrX1 = 190, kQrY1 = 45, kQrSize = 100;

std::string message(const std::string& conn_config) {
    return R"({"global":{},"conns":[{"connConfig":)" + conn_config + "}]}";
}

class SwipeNormalTest : public ScreenFixture {
  protected:
    SwipeNormalTest() : ScreenFixture(SCREEN_OPS(swipe_normal)) {}

    // The pixels of the QR code's square as drawn now.
    std::vector<uint32_t> qr_pixels() {
        advance(40);
        std::vector<uint32_t> px;
        for (lv_coord_t y = kQrY1; y < kQrY1 + kQrSize; y++)
            for (lv_coord_t x = kQrX1; x < kQrX1 + kQrSize; x++) px.push_back(pixel(x, y));
        return px;
    }

    // The same square for a reference QR code of `data`, drawn on a screen of its own.
    std::vector<uint32_t> reference_pixels(const std::string& data) {
        lv_obj_t* shown = lv_scr_act();
        lv_obj_t* scr = lv_obj_create(nullptr);
        lv_obj_t* qr = lv_qrcode_create(scr, kQrSize, lv_color_hex(0x000000), lv_color_hex(0xFFFFFF));
        lv_obj_align(qr, LV_ALIGN_CENTER, 80, -25);
        lv_qrcode_update(qr, data.data(), uint32_t(data.size()));
        lv_disp_load_scr(scr);
        std::vector<uint32_t> px = qr_pixels();
        lv_disp_load_scr(shown);
        return px;
    }

    static size_t dark_count(const std::vector<uint32_t>& px) {
        size_t n = 0;
        for (uint32_t p : px) n += p == 0x000000;
        return n;
    }
};

TEST_F(SwipeNormalTest, InitShowsZeroErrorAndTheTranslatedRequest) {
    AppLog log;
    show();
    EXPECT_EQ(text(ui_swipe_normal_station_number), "0");
    EXPECT_EQ(text(ui_swipe_normal_inform_text), "Swipe RFID card or scan QR code");
    EXPECT_STREQ(static_cast<const char*>(lv_img_get_src(ui_swipe_normal_image)),
                 "A:qorv_lvgl/assets/img/misc_icon/swap_card.png");
    ASSERT_EQ(log.count("ui_swipe_normal_set_inform_text: "), 2u);
    EXPECT_EQ(log.count("[User]"), log.count("ui_swipe_normal_set_inform_text: "));
    EXPECT_EQ(log.count("set the label to key:\"s_swipe_normal_default_text\" \t(in ui_swipe_normal.cpp"),
              1u);
    EXPECT_EQ(log.count("Got value from key:\"Swipe RFID card or scan QR code\" \t(in ui_swipe_normal.cpp"),
              1u);

    // The placeholder is gone: picture, number, text, frame and code, drawn in that order.
    ASSERT_EQ(lv_obj_get_child_cnt(ui_swipe_normal), 5u);
    EXPECT_EQ(lv_obj_get_child(ui_swipe_normal, 0), ui_swipe_normal_image);
    EXPECT_EQ(lv_obj_get_child(ui_swipe_normal, 1), ui_swipe_normal_station_number);
    EXPECT_EQ(lv_obj_get_child(ui_swipe_normal, 2), ui_swipe_normal_inform_text);
    EXPECT_EQ(lv_obj_get_child(ui_swipe_normal, 4), ui_swipe_normal_code);

    const std::vector<uint32_t> error = qr_pixels();
    EXPECT_EQ(error, reference_pixels("ERROR"));
    EXPECT_NE(error, reference_pixels("ERRO"));
    EXPECT_GT(dark_count(error), 1000u);
}

TEST_F(SwipeNormalTest, LayoutFollowsTheWidgetTable) {
    show();
    send(message(R"({"connCode":"A-17","connQR":"https://pay.example/c/A-17"})"));
    advance(40);
    struct Case {
        const char* name;
        lv_obj_t* obj;
        lv_area_t area;
    };
    lv_obj_t* frame = lv_obj_get_child(ui_swipe_normal, 3);
    const Case cases[] = {
        {"image", ui_swipe_normal_image, {40, 60, 139, 139}},
        {"inform text", ui_swipe_normal_inform_text, {20, 175, 299, 224}},
        {"frame", frame, {188, 43, 292, 147}},
        {"code", ui_swipe_normal_code, {190, 45, 289, 144}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const lv_area_t a = coords_of(c.obj);
        EXPECT_EQ(a.x1, c.area.x1);
        EXPECT_EQ(a.y1, c.area.y1);
        EXPECT_EQ(a.x2, c.area.x2);
        EXPECT_EQ(a.y2, c.area.y2);
    }
    // The code text is centred 80 px right of and 40 px below the middle, in the built-in font.
    const lv_area_t a = coords_of(ui_swipe_normal_station_number);
    EXPECT_NEAR((a.x1 + a.x2 + 1) / 2, 240, 1);
    EXPECT_NEAR((a.y1 + a.y2 + 1) / 2, 160, 1);
    EXPECT_EQ(lv_obj_get_style_text_font(ui_swipe_normal_station_number, LV_PART_MAIN),
              &lv_font_montserrat_14);
    EXPECT_NE(lv_obj_get_style_text_font(ui_swipe_normal_inform_text, LV_PART_MAIN), &lv_font_montserrat_14);
    EXPECT_EQ(lv_obj_get_style_radius(frame, LV_PART_MAIN), 0);
    // A white margin shows between the frame's border and the code.
    EXPECT_EQ(pixel(290, 100), 0xFFFFFFu);
    save_frame("swipe_normal/a17.png");
}

TEST_F(SwipeNormalTest, ConnectorCodeShownAsSent) {
    show();
    struct Case {
        const char* config;
        const char* shown;
    };
    const Case cases[] = {
        {R"({"connCode":"A-17"})", "A-17"},
        {R"({"CONNCODE":"%d %s 100%"})", "%d %s 100%"},
        {R"({"connCode":"Ladepunkt Süd 3"})", "Ladepunkt Süd 3"},
        {R"({"connCode":""})", ""},
        {R"({"connCode":"B2"})", "B2"},
        {R"({})", "B2"},
        {R"({"connCode":17})", "B2"},
        {R"({"connCode":null})", "B2"},
        {R"({"connCode":["x"]})", "B2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        send(message(c.config));
        EXPECT_EQ(text(ui_swipe_normal_station_number), c.shown);
    }
    // Without a connector configuration nothing changes either.
    send(R"({"global":{},"conns":[]})");
    send(R"({"global":{}})");
    EXPECT_EQ(text(ui_swipe_normal_station_number), "B2");
}

TEST_F(SwipeNormalTest, QrCodeEncodesTheTextOfEveryMessage) {
    show();
    send(message(R"({"connCode":"7","connQR":"https://pay.example/station/7"})"));
    const std::vector<uint32_t> seven = qr_pixels();
    EXPECT_EQ(seven, reference_pixels("https://pay.example/station/7"));

    // Absent or non-text: the code stays as it was.
    for (const char* config : {R"({"connCode":"8"})", R"({"connQR":8})", R"({"connQR":null})"}) {
        SCOPED_TRACE(config);
        send(message(config));
        EXPECT_EQ(qr_pixels(), seven);
    }

    // An empty text is a valid, smallest code.
    send(message(R"({"connQR":""})"));
    const std::vector<uint32_t> empty = qr_pixels();
    EXPECT_EQ(empty, reference_pixels(""));
    EXPECT_GT(dark_count(empty), 1000u);

    // Bytes beyond ASCII are encoded as sent.
    send(message(R"({"connQR":"Zahlung für Säule Ω"})"));
    EXPECT_EQ(qr_pixels(), reference_pixels("Zahlung für Säule Ω"));

    // 400 bytes still fit, one pixel per module.
    const std::string text400(400, 'q');
    send(message(R"({"connQR":")" + text400 + R"("})"));
    EXPECT_EQ(qr_pixels(), reference_pixels(text400));
    EXPECT_GT(dark_count(qr_pixels()), 1000u);

    // Too long for 100 px: the square shows its light colour only.
    const std::string long_text(1000, 'x');
    send(message(R"({"connQR":")" + long_text + R"("})"));
    EXPECT_EQ(dark_count(qr_pixels()), 0u);
    EXPECT_EQ(qr_pixels(), std::vector<uint32_t>(size_t(kQrSize) * kQrSize, 0xFFFFFF));
}

TEST_F(SwipeNormalTest, NullRootChangesNothing) {
    show();
    send(message(R"({"connCode":"C3","connQR":"C3"})"));
    const std::vector<uint32_t> before = qr_pixels();
    AppLog log;
    ui_swipe_normal_set_data(nullptr);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("[Error]"), std::string::npos);
    EXPECT_NE(log.lines()[0].find("ui_swipe_normal_set_data: UI IDLE:ERROR JSON WHEN SET DATA"),
              std::string::npos);
    EXPECT_EQ(text(ui_swipe_normal_station_number), "C3");
    EXPECT_EQ(qr_pixels(), before);
}

TEST_F(SwipeNormalTest, LanguageChangesShownAndHidden) {
    show();
    send(message(R"({"connCode":"D4","connQR":"D4"})"));
    const std::vector<uint32_t> qr = qr_pixels();

    struct Case {
        const char* locale;
        const char* text;
    };
    const Case cases[] = {
        {"de-DE", "RFID-Karte vorhalten oder QR-Code scannen"},
        {"en-US", "Swipe RFID card or scan QR code"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        lv_i18n_set_locale(c.locale);
        AppLog log;
        ui_swipe_normal_language_changed();
        EXPECT_EQ(text(ui_swipe_normal_inform_text), c.text);
        EXPECT_EQ(log.count("set the label to key:\"s_swipe_normal_default_text\""), 1u);
        EXPECT_EQ(log.count(std::string("Got value from key:\"") + c.text + "\""), 1u);
    }

    // Hidden behind another screen: the text changes at once, the code and its text stay.
    hide();
    lv_i18n_set_locale("de-DE");
    ui_swipe_normal_language_changed();
    EXPECT_EQ(text(ui_swipe_normal_inform_text), "RFID-Karte vorhalten oder QR-Code scannen");
    EXPECT_EQ(text(ui_swipe_normal_station_number), "D4");
    show_again();
    EXPECT_EQ(qr_pixels(), qr);
    save_frame("swipe_normal/de.png");
}

TEST_F(SwipeNormalTest, ShowsTheStatusBarAndGivesBackItsVisibility) {
    ui_statusbar_set_show(0); // as the welcome screen leaves it
    show();
    EXPECT_FALSE(hidden(ui_statusbar));
    ui_swipe_normal_onhide();
    EXPECT_TRUE(hidden(ui_statusbar));
}

} // namespace
