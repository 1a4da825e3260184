// The runtime's own small printf: integers, characters, strings and pointers. Floating-point
// conversions are not supported (LV_SPRINTF_USE_FLOAT 0): their conversion letter is printed as
// text and their argument is left in the list.
#include "lv_printf.h"

#include <stddef.h>
#include <type_traits>

namespace {

enum : unsigned {
    kLeft = 1u << 0,    // '-'
    kPlus = 1u << 1,    // '+'
    kSpace = 1u << 2,   // ' '
    kZero = 1u << 3,    // '0'
    kHash = 1u << 4,    // '#'
    kUpper = 1u << 5,   // 'X', 'p'
    kHasPrec = 1u << 6, // a precision was given
};

enum class Len { Int, Char, Short, Long, LongLong, Max, Size, Ptrdiff };

// Writes into the caller's buffer as far as it reaches and counts everything.
struct Out {
    char* buf;
    size_t cap;
    size_t n = 0;

    void put(char c) {
        if (buf != nullptr && n + 1 < cap) buf[n] = c;
        ++n;
    }
    void repeat(char c, size_t count) {
        for (size_t i = 0; i < count; ++i) put(c);
    }
    void finish() {
        if (buf != nullptr && cap > 0) buf[n < cap ? n : cap - 1] = '\0';
    }
};

struct Conv {
    unsigned flags = 0;
    size_t width = 0;
    size_t prec = 0;
};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

size_t read_number(const char*& p) {
    size_t v = 0;
    while (is_digit(*p)) v = v * 10 + (size_t)(*p++ - '0');
    return v;
}

// Pads `body_len` characters of content to the field width; content is written by `body`.
template <typename Body> void padded(Out& out, const Conv& s, size_t body_len, Body body) {
    size_t pad = s.width > body_len ? s.width - body_len : 0;
    if (!(s.flags & kLeft)) out.repeat(' ', pad);
    body();
    if (s.flags & kLeft) out.repeat(' ', pad);
}

void format_integer(Out& out, Conv s, uintmax_t mag, bool negative, bool is_signed, unsigned base) {
    // Digits, least significant first (64 binary digits at most).
    char digits[64];
    size_t nd = 0;
    const char* set = (s.flags & kUpper) ? "0123456789ABCDEF" : "0123456789abcdef";
    bool print_digits = !((s.flags & kHasPrec) && s.prec == 0 && mag == 0);
    if (print_digits) {
        uintmax_t v = mag;
        do {
            digits[nd++] = set[v % base];
            v /= base;
        } while (v != 0);
    }

    size_t zeros = (s.flags & kHasPrec) && s.prec > nd ? s.prec - nd : 0;

    char prefix[2];
    size_t np = 0;
    if (is_signed) {
        if (negative)
            prefix[np++] = '-';
        else if (s.flags & kPlus)
            prefix[np++] = '+';
        else if (s.flags & kSpace)
            prefix[np++] = ' ';
    }
    if (s.flags & kHash) {
        if (base == 16 && mag != 0) {
            prefix[np++] = '0';
            prefix[np++] = (s.flags & kUpper) ? 'X' : 'x';
        } else if (base == 2 && mag != 0) {
            prefix[np++] = '0';
            prefix[np++] = 'b';
        } else if (base == 8 && zeros == 0 && (nd == 0 || digits[nd - 1] != '0')) {
            zeros = 1; // octal '#' guarantees a leading zero
        }
    }

    size_t len = np + zeros + nd;
    // '0' pads with zeros after the sign or prefix, unless left-aligned or a precision is given.
    if ((s.flags & kZero) && !(s.flags & (kLeft | kHasPrec)) && s.width > len) {
        zeros += s.width - len;
        len = s.width;
    }
    padded(out, s, len, [&] {
        for (size_t i = 0; i < np; ++i) out.put(prefix[i]);
        out.repeat('0', zeros);
        while (nd > 0) out.put(digits[--nd]);
    });
}

intmax_t signed_arg(va_list& va, Len len) {
    switch (len) {
    case Len::Char:
        return (signed char)va_arg(va, int);
    case Len::Short:
        return (short)va_arg(va, int);
    case Len::Long:
        return va_arg(va, long);
    case Len::LongLong:
        return va_arg(va, long long);
    case Len::Max:
        return va_arg(va, intmax_t);
    case Len::Size:
        return va_arg(va, std::make_signed_t<size_t>);
    case Len::Ptrdiff:
        return va_arg(va, ptrdiff_t);
    case Len::Int:
        break;
    }
    return va_arg(va, int);
}

uintmax_t unsigned_arg(va_list& va, Len len) {
    switch (len) {
    case Len::Char:
        return (unsigned char)va_arg(va, unsigned);
    case Len::Short:
        return (unsigned short)va_arg(va, unsigned);
    case Len::Long:
        return va_arg(va, unsigned long);
    case Len::LongLong:
        return va_arg(va, unsigned long long);
    case Len::Max:
        return va_arg(va, uintmax_t);
    case Len::Size:
        return va_arg(va, size_t);
    case Len::Ptrdiff:
        return (uintmax_t)va_arg(va, ptrdiff_t);
    case Len::Int:
        break;
    }
    return va_arg(va, unsigned);
}

} // namespace

int lv_vsnprintf(char* buffer, size_t count, const char* format, va_list va_in) {
    Out out{buffer, count};
    va_list va;
    va_copy(va, va_in);

    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            out.put(*p++);
            continue;
        }
        ++p;

        Conv s;
        for (bool more = true; more;) {
            switch (*p) {
            case '0':
                s.flags |= kZero;
                break;
            case '-':
                s.flags |= kLeft;
                break;
            case '+':
                s.flags |= kPlus;
                break;
            case ' ':
                s.flags |= kSpace;
                break;
            case '#':
                s.flags |= kHash;
                break;
            default:
                more = false;
                continue;
            }
            ++p;
        }

        if (is_digit(*p)) {
            s.width = read_number(p);
        } else if (*p == '*') {
            int w = va_arg(va, int);
            if (w < 0) {
                s.flags |= kLeft;
                s.width = (size_t)(-(long long)w);
            } else {
                s.width = (size_t)w;
            }
            ++p;
        }

        if (*p == '.') {
            ++p;
            s.flags |= kHasPrec;
            if (is_digit(*p)) {
                s.prec = read_number(p);
            } else if (*p == '*') {
                int pr = va_arg(va, int);
                // A negative precision counts as none.
                if (pr < 0)
                    s.flags &= ~kHasPrec;
                else
                    s.prec = (size_t)pr;
                ++p;
            }
        }

        Len len = Len::Int;
        switch (*p) {
        case 'h':
            ++p;
            if (*p == 'h') {
                ++p;
                len = Len::Char;
            } else {
                len = Len::Short;
            }
            break;
        case 'l':
            ++p;
            if (*p == 'l') {
                ++p;
                len = Len::LongLong;
            } else {
                len = Len::Long;
            }
            break;
        case 'j':
            ++p;
            len = Len::Max;
            break;
        case 'z':
            ++p;
            len = Len::Size;
            break;
        case 't':
            ++p;
            len = Len::Ptrdiff;
            break;
        default:
            break;
        }

        char conv = *p;
        if (conv == '\0') break;
        ++p;
        switch (conv) {
        case 'd':
        case 'i': {
            intmax_t v = signed_arg(va, len);
            uintmax_t mag = v < 0 ? (uintmax_t)0 - (uintmax_t)v : (uintmax_t)v;
            format_integer(out, s, mag, v < 0, true, 10);
            break;
        }
        case 'u':
            format_integer(out, s, unsigned_arg(va, len), false, false, 10);
            break;
        case 'x':
            format_integer(out, s, unsigned_arg(va, len), false, false, 16);
            break;
        case 'X':
            s.flags |= kUpper;
            format_integer(out, s, unsigned_arg(va, len), false, false, 16);
            break;
        case 'o':
            format_integer(out, s, unsigned_arg(va, len), false, false, 8);
            break;
        case 'b':
            format_integer(out, s, unsigned_arg(va, len), false, false, 2);
            break;
        case 'p': {
            // Pointers: upper-case hex, zero-padded to the pointer's full width, no prefix.
            uintptr_t v = (uintptr_t)va_arg(va, void*);
            Conv ps;
            ps.flags = (s.flags & kLeft) | kZero | kUpper;
            ps.width = sizeof(void*) * 2;
            format_integer(out, ps, v, false, false, 16);
            break;
        }
        case 'c': {
            char c = (char)va_arg(va, int);
            padded(out, s, 1, [&] { out.put(c); });
            break;
        }
        case 's': {
            // A null string prints "(null)". LVGL's formatter would dereference it; a status
            // display that keeps running is worth more than a faithful crash.
            const char* str = va_arg(va, const char*);
            if (str == nullptr) str = "(null)";
            size_t n = 0;
            size_t max = (s.flags & kHasPrec) ? s.prec : (size_t)-1;
            while (n < max && str[n] != '\0') ++n;
            padded(out, s, n, [&] {
                for (size_t i = 0; i < n; ++i) out.put(str[i]);
            });
            break;
        }
        case '%':
            out.put('%');
            break;
        default:
            // Unsupported conversions (including %f, %e, %g) print their letter; the argument
            // stays where it is.
            out.put(conv);
            break;
        }
    }

    va_end(va);
    out.finish();
    return (int)out.n;
}

int lv_snprintf(char* buffer, size_t count, const char* format, ...) {
    va_list va;
    va_start(va, format);
    int n = lv_vsnprintf(buffer, count, format, va);
    va_end(va);
    return n;
}
