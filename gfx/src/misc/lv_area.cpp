// Rectangles with inclusive corners.
#include "lv_area.h"

#include <algorithm>

void lv_area_set(lv_area_t* area_p, lv_coord_t x1, lv_coord_t y1, lv_coord_t x2, lv_coord_t y2) {
    area_p->x1 = x1;
    area_p->y1 = y1;
    area_p->x2 = x2;
    area_p->y2 = y2;
}

uint32_t lv_area_get_size(const lv_area_t* area_p) {
    uint32_t w = (uint32_t)(area_p->x2 - area_p->x1 + 1);
    uint32_t h = (uint32_t)(area_p->y2 - area_p->y1 + 1);
    return w * h;
}

bool _lv_area_intersect(lv_area_t* res_p, const lv_area_t* a1_p, const lv_area_t* a2_p) {
    // The result is written even when empty; callers rely only on the return value then.
    res_p->x1 = std::max(a1_p->x1, a2_p->x1);
    res_p->y1 = std::max(a1_p->y1, a2_p->y1);
    res_p->x2 = std::min(a1_p->x2, a2_p->x2);
    res_p->y2 = std::min(a1_p->y2, a2_p->y2);
    return res_p->x1 <= res_p->x2 && res_p->y1 <= res_p->y2;
}

void _lv_area_join(lv_area_t* a_res_p, const lv_area_t* a1_p, const lv_area_t* a2_p) {
    a_res_p->x1 = std::min(a1_p->x1, a2_p->x1);
    a_res_p->y1 = std::min(a1_p->y1, a2_p->y1);
    a_res_p->x2 = std::max(a1_p->x2, a2_p->x2);
    a_res_p->y2 = std::max(a1_p->y2, a2_p->y2);
}

bool _lv_area_is_point_on(const lv_area_t* a_p, const lv_point_t* p_p, lv_coord_t radius) {
    if (p_p->x < a_p->x1 || p_p->x > a_p->x2 || p_p->y < a_p->y1 || p_p->y > a_p->y2) return false;
    if (radius <= 0) return true;

    // Rounded corners: a point in a corner square counts only inside the corner's circle.
    int32_t w = lv_area_get_width(a_p);
    int32_t h = lv_area_get_height(a_p);
    int32_t r = std::min<int32_t>({radius, w / 2, h / 2});
    if (r <= 0) return true;
    int32_t cx;
    int32_t cy;
    if (p_p->x < a_p->x1 + r)
        cx = a_p->x1 + r;
    else if (p_p->x > a_p->x2 - r)
        cx = a_p->x2 - r;
    else
        return true;
    if (p_p->y < a_p->y1 + r)
        cy = a_p->y1 + r;
    else if (p_p->y > a_p->y2 - r)
        cy = a_p->y2 - r;
    else
        return true;
    int32_t dx = p_p->x - cx;
    int32_t dy = p_p->y - cy;
    return dx * dx + dy * dy <= r * r;
}

bool _lv_area_is_on(const lv_area_t* a1_p, const lv_area_t* a2_p) {
    return a1_p->x1 <= a2_p->x2 && a1_p->x2 >= a2_p->x1 && a1_p->y1 <= a2_p->y2 && a1_p->y2 >= a2_p->y1;
}

bool _lv_area_is_in(const lv_area_t* ain_p, const lv_area_t* aholder_p, lv_coord_t radius) {
    if (ain_p->x1 < aholder_p->x1 || ain_p->y1 < aholder_p->y1 || ain_p->x2 > aholder_p->x2 ||
        ain_p->y2 > aholder_p->y2)
        return false;
    if (radius <= 0) return true;

    const lv_point_t corners[4] = {
        {ain_p->x1, ain_p->y1}, {ain_p->x2, ain_p->y1}, {ain_p->x1, ain_p->y2}, {ain_p->x2, ain_p->y2}};
    for (const lv_point_t& p : corners) {
        if (!_lv_area_is_point_on(aholder_p, &p, radius)) return false;
    }
    return true;
}
