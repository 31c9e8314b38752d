// wsprintfA: the platform's small formatter. Conversions %s %c %d %i %u %x %X, each with the
// flags '-' (left-align), '0' (zero-pad) and '#' (0x prefix), a width, a precision and an 'l' or
// 'h' size; %% prints a percent sign. Integers are 32 bits whatever the size letter says, as on
// the platform (LONG and DWORD are 32 bits). There are no floating-point conversions. The output
// stops at 1024 characters plus the terminator, so a buffer of 1025 bytes always suffices.
#include <cstdarg>
#include <cstdint>

#include "platform/win32/kernel.h"

namespace {

constexpr int MAX_OUTPUT = 1024;
constexpr int MAX_NUMBER_DIGITS = 16; // 32 bits in octal would need 11; hex needs 8

class Output {
public:
    explicit Output(char* buffer) : buffer_(buffer) {}
    void Put(char c) {
        if (length_ < MAX_OUTPUT) {
            buffer_[length_++] = c;
        }
    }
    void Repeat(char c, int count) {
        for (int i = 0; i < count; ++i) {
            Put(c);
        }
    }
    int Finish() {
        buffer_[length_] = '\0';
        return length_;
    }

private:
    char* buffer_;
    int length_ = 0;
};

struct Conversion {
    bool leftAlign = false;
    bool zeroPad = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
};

// Reads a decimal count without letting it grow past what any output could use.
int ReadCount(const char*& format) {
    int value = 0;
    while (*format >= '0' && *format <= '9') {
        if (value <= MAX_OUTPUT) {
            value = value * 10 + (*format - '0');
        }
        ++format;
    }
    return value;
}

void PutField(Output& out, const Conversion& conversion, const char* prefix, const char* body, int bodyLength,
              bool numeric) {
    int prefixLength = 0;
    while (prefix[prefixLength] != '\0') {
        ++prefixLength;
    }
    int padding = conversion.width - prefixLength - bodyLength;
    if (padding < 0) {
        padding = 0;
    }
    if (!conversion.leftAlign && !(conversion.zeroPad && numeric)) {
        out.Repeat(' ', padding);
    }
    for (int i = 0; i < prefixLength; ++i) {
        out.Put(prefix[i]);
    }
    if (!conversion.leftAlign && conversion.zeroPad && numeric) {
        out.Repeat('0', padding);
    }
    for (int i = 0; i < bodyLength; ++i) {
        out.Put(body[i]);
    }
    if (conversion.leftAlign) {
        out.Repeat(' ', padding);
    }
}

void PutNumber(Output& out, const Conversion& conversion, uint32_t magnitude, bool negative, unsigned base,
               bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[MAX_NUMBER_DIGITS];
    int count = 0;
    do {
        reversed[count++] = digits[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    // A precision asks for at least that many digits.
    int minimumDigits = conversion.precision > count ? conversion.precision : count;
    if (minimumDigits > MAX_OUTPUT) {
        minimumDigits = MAX_OUTPUT;
    }
    char body[MAX_OUTPUT + MAX_NUMBER_DIGITS];
    int length = 0;
    for (int i = count; i < minimumDigits; ++i) {
        body[length++] = '0';
    }
    while (count > 0) {
        body[length++] = reversed[--count];
    }
    const char* prefix = negative ? "-" : "";
    if (conversion.alternate && base == 16) {
        prefix = upper ? "0X" : "0x";
    }
    PutField(out, conversion, prefix, body, length, conversion.precision < 0);
}

} // namespace

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    if (buffer == nullptr) {
        return 0;
    }
    Output out(buffer);
    if (format == nullptr) {
        return out.Finish();
    }
    va_list args;
    va_start(args, format);
    while (*format != '\0') {
        if (*format != '%') {
            out.Put(*format++);
            continue;
        }
        ++format;
        Conversion conversion;
        for (;; ++format) {
            if (*format == '-') {
                conversion.leftAlign = true;
            } else if (*format == '0') {
                conversion.zeroPad = true;
            } else if (*format == '#') {
                conversion.alternate = true;
            } else {
                break;
            }
        }
        conversion.width = ReadCount(format);
        if (*format == '.') {
            ++format;
            conversion.precision = ReadCount(format);
        }
        if (*format == 'l' || *format == 'h') {
            ++format; // sizes change nothing: every integer argument is 32 bits
        }
        char type = *format;
        if (type == '\0') {
            break;
        }
        ++format;
        switch (type) {
        case 's': {
            const char* text = va_arg(args, const char*);
            if (text == nullptr) {
                text = "(null)";
            }
            int length = 0;
            while (text[length] != '\0' && (conversion.precision < 0 || length < conversion.precision) &&
                   length < MAX_OUTPUT) {
                ++length;
            }
            PutField(out, conversion, "", text, length, false);
            break;
        }
        case 'c': {
            char c = static_cast<char>(va_arg(args, int));
            PutField(out, conversion, "", &c, 1, false);
            break;
        }
        case 'd':
        case 'i': {
            int32_t value = va_arg(args, int32_t);
            bool negative = value < 0;
            uint32_t magnitude =
                negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
            PutNumber(out, conversion, magnitude, negative, 10, false);
            break;
        }
        case 'u':
            PutNumber(out, conversion, va_arg(args, uint32_t), false, 10, false);
            break;
        case 'x':
        case 'X':
            PutNumber(out, conversion, va_arg(args, uint32_t), false, 16, type == 'X');
            break;
        default:
            out.Put(type); // "%%" and unknown conversions print the character itself
            break;
        }
    }
    va_end(args);
    return out.Finish();
}
