#include "game/script/df_printf.h"

#include <cmath>

#include "game/script/df_log.h"

namespace {

constexpr char hexconv[] = "0123456789ABCDEF";
constexpr int kDefaultPrecision = 5;
// 10^precision must stay exact in the scaled integer.
constexpr int kMaxPrecision = 9;

// Where a conversion's value comes from.
class TArgReader
{
public:
    virtual ~TArgReader() = default;
    virtual int64_t Integer(bool wide, bool isSigned) = 0;
    virtual double Number() = 0;
    virtual const void* Pointer() = 0;
    virtual const char* Text() = 0;
    // Back to the first argument (positional "%n$d").
    virtual void Restart() = 0;
};

class TVaListReader : public TArgReader
{
public:
    explicit TVaListReader(va_list arguments)
    {
        va_copy(mStart, arguments);
        va_copy(mNext, arguments);
    }
    ~TVaListReader() override
    {
        va_end(mNext);
        va_end(mStart);
    }
    int64_t Integer(bool wide, bool isSigned) override
    {
        if (wide)
            return isSigned ? va_arg(mNext, long long) : static_cast<int64_t>(va_arg(mNext, unsigned long long));
        return isSigned ? va_arg(mNext, int) : static_cast<int64_t>(va_arg(mNext, unsigned));
    }
    double Number() override { return va_arg(mNext, double); }
    const void* Pointer() override { return va_arg(mNext, const void*); }
    const char* Text() override { return va_arg(mNext, const char*); }
    void Restart() override
    {
        va_end(mNext);
        va_copy(mNext, mStart);
    }

private:
    va_list mStart;
    va_list mNext;
};

class TCountedReader : public TArgReader
{
public:
    TCountedReader(const TFormatArg* arguments, size_t count) : mArgs(arguments), mCount(count) {}
    int64_t Integer(bool wide, bool isSigned) override
    {
        const TFormatArg* a = Take();
        int64_t v = 0;
        if (a && a->kind == TFormatArg::kInteger)
            v = a->integer;
        else if (a && a->kind == TFormatArg::kNumber)
            v = Saturate(a->number);
        else if (a)
            v = static_cast<int64_t>(reinterpret_cast<uintptr_t>(a->pointer));
        if (wide)
            return v;
        return isSigned ? static_cast<int32_t>(v) : static_cast<int64_t>(static_cast<uint32_t>(v));
    }
    double Number() override
    {
        const TFormatArg* a = Take();
        if (a && a->kind == TFormatArg::kNumber)
            return a->number;
        if (a && a->kind == TFormatArg::kInteger)
            return static_cast<double>(a->integer);
        return 0;
    }
    const void* Pointer() override
    {
        const TFormatArg* a = Take();
        if (a && a->kind == TFormatArg::kInteger)
            return reinterpret_cast<const void*>(static_cast<uintptr_t>(a->integer));
        return a && a->kind != TFormatArg::kNumber ? a->pointer : nullptr;
    }
    const char* Text() override
    {
        const TFormatArg* a = Take();
        return a && a->kind == TFormatArg::kText ? static_cast<const char*>(a->pointer) : nullptr;
    }
    void Restart() override { mNext = 0; }

private:
    const TFormatArg* Take() { return mNext < mCount ? &mArgs[mNext++] : nullptr; }
    static int64_t Saturate(double v)
    {
        if (!(v == v))
            return 0;
        if (v >= 9.2e18)
            return INT64_MAX;
        if (v <= -9.2e18)
            return INT64_MIN;
        return static_cast<int64_t>(v);
    }

    const TFormatArg* mArgs;
    size_t mCount;
    size_t mNext = 0;
};

class TFormatter
{
public:
    TFormatter(char* buffer, uint32_t size) : mBuffer(buffer), mLimit(size - 1) {}

    uint32_t Run(const char* format, TArgReader& args);

private:
    bool Put(char c)
    {
        if (mCount >= mLimit)
            return false;
        mBuffer[mCount++] = c;
        return true;
    }
    static int ReadNumber(const char*& f)
    {
        int n = 0;
        while (*f >= '0' && *f <= '9') {
            if (n < 100000)
                n = n * 10 + (*f - '0');
            ++f;
        }
        return n;
    }
    // The magnitude's characters (reversed: least significant first), padded and signed.
    void WriteField(const char* reversed, int length, bool negative, char pad, int width);

    char* mBuffer;
    uint32_t mLimit;
    uint32_t mCount = 0;
};

void TFormatter::WriteField(const char* reversed, int length, bool negative, char pad, int width)
{
    if (negative && pad == '0') {
        Put('-');
        --width;
    }
    for (; width > length; --width)
        if (!Put(pad))
            return;
    if (negative && pad != '0' && !Put('-'))
        return;
    while (length > 0)
        if (!Put(reversed[--length]))
            return;
}

uint32_t TFormatter::Run(const char* f, TArgReader& args)
{
    while (mCount < mLimit) {
        const char c = *f++;
        if (!c)
            break;
        if (c != '%') {
            mBuffer[mCount++] = c;
            continue;
        }
        int position = 0;
        char pad = *f == '0' ? '0' : ' ';
        int width = ReadNumber(f);
        if (*f == '$') {
            ++f;
            position = width;
            pad = *f == '0' ? '0' : ' ';
            width = ReadNumber(f);
        }
        int precision = kDefaultPrecision;
        if (*f == '.') {
            ++f;
            precision = ReadNumber(f);
        }
        if (precision > kMaxPrecision)
            precision = kMaxPrecision;
        bool wide = false;
        if (*f == 'l') {
            wide = true;
            ++f;
        }
        const char conversion = *f;
        if (!conversion) {
            mBuffer[mCount++] = '%';
            break;
        }
        ++f;
        char digits[32];
        int length = 0;
        switch (conversion) {
        case 'd': {
            int64_t value = 0;
            if (position > 0) {
                args.Restart();
                for (int i = 0; i < position; ++i)
                    value = args.Integer(wide, true);
            } else {
                value = args.Integer(wide, true);
            }
            // The magnitude as unsigned, so the most negative value has one too.
            uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
            do {
                digits[length++] = static_cast<char>('0' + magnitude % 10);
                magnitude /= 10;
            } while (magnitude);
            WriteField(digits, length, value < 0, pad, width);
            break;
        }
        case 'f': {
            double value = args.Number();
            if (!(value == value))
                value = 0;
            const bool negative = value < 0;
            // The magnitude is rounded, so -1.234 to two places is -1.23 (not -1.22).
            const double scaled = std::fabs(value) * std::pow(10.0, precision) + 0.5;
            uint64_t n = scaled >= 1.8e19 ? UINT64_MAX : static_cast<uint64_t>(scaled);
            for (int i = 0; i < precision; ++i) {
                digits[length++] = static_cast<char>('0' + n % 10);
                n /= 10;
            }
            if (precision > 0)
                digits[length++] = '.';
            do {
                digits[length++] = static_cast<char>('0' + n % 10);
                n /= 10;
            } while (n);
            WriteField(digits, length, negative, pad, width);
            break;
        }
        case 'x':
        case 'p': {
            uint64_t value = conversion == 'p' ? reinterpret_cast<uintptr_t>(args.Pointer())
                                               : static_cast<uint64_t>(args.Integer(wide, false));
            do {
                digits[length++] = hexconv[value & 15];
                value >>= 4;
            } while (value);
            WriteField(digits, length, false, pad, width);
            break;
        }
        case 's': {
            const char* text = args.Text();
            if (!text)
                text = "<null>";
            while (*text && Put(*text))
                ++text;
            break;
        }
        case 'c': mBuffer[mCount++] = static_cast<char>(args.Integer(false, true) & 0xFF); break;
        case '%': mBuffer[mCount++] = '%'; break;
        default:
            LOGIT("ASSERT: %s\n", "\"Bad Printf Format Value\"");
            dfDebugBreak();
            break;
        }
    }
    mBuffer[mCount] = 0;
    return mCount;
}

}  // namespace

uint32_t df_vsnprintf(char* buffer, uint32_t size, const char* format, va_list arguments)
{
    if (!buffer || size == 0)
        return 0;
    TVaListReader reader(arguments);
    return TFormatter(buffer, size).Run(format ? format : "", reader);
}

uint32_t df_format(char* buffer, uint32_t size, const char* format, const TFormatArg* arguments, size_t count)
{
    if (!buffer || size == 0)
        return 0;
    TCountedReader reader(arguments, count);
    return TFormatter(buffer, size).Run(format ? format : "", reader);
}
