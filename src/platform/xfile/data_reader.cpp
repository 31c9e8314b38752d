#include "platform/xfile/data_reader.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/xfile/dxfile.h"
#include "platform/xfile/parse_support.h"

namespace xfile {

namespace {

// A value read from the file, before it is fitted to its member's type.
struct IntegerValue {
    uint64_t magnitude = 0;
    bool negative = false;
};

// Fits value into an integer of the given width, accepting both the signed and the unsigned
// reading (writers store -1 in a WORD as 65535 or as -1; binary writers may store a negative
// 16-bit value as a 32-bit one). Gives the low `bits` bits of the two's complement.
bool FitInteger(IntegerValue value, unsigned bits, uint64_t& stored) {
    uint64_t unsignedMax = bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
    uint64_t negativeLimit = uint64_t{1} << (bits - 1);
    if (!value.negative && value.magnitude > unsignedMax && bits < 32 &&
        value.magnitude <= UINT32_MAX && value.magnitude >= (uint64_t{1} << 31)) {
        // A 32-bit two's complement value: read it as negative.
        value.negative = true;
        value.magnitude = (uint64_t{1} << 32) - value.magnitude;
    }
    if (value.negative) {
        if (value.magnitude > negativeLimit) {
            return false;
        }
        stored = (0 - value.magnitude) & unsignedMax;
        return true;
    }
    if (value.magnitude > unsignedMax) {
        return false;
    }
    stored = value.magnitude;
    return true;
}

bool IntegerFromToken(const Token& token, IntegerValue& value) {
    if (token.kind == TokenKind::Integer) {
        value.magnitude = token.magnitude;
        value.negative = token.negative;
        return true;
    }
    if (token.kind != TokenKind::Float) {
        return false;
    }
    // A whole number written as a float ("3.0") is taken; anything else is not an integer.
    double real = token.real;
    if (!std::isfinite(real) || std::floor(real) != real || real >= 18446744073709551616.0 ||
        real < -9223372036854775808.0) {
        return false;
    }
    value.negative = real < 0;
    value.magnitude = static_cast<uint64_t>(value.negative ? -real : real);
    return true;
}

float NarrowToFloat(double value) {
    // Out-of-range values become infinities explicitly rather than through the conversion.
    if (std::isnan(value)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (value > std::numeric_limits<float>::max()) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -std::numeric_limits<float>::max()) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

class MemberDataReader {
public:
    MemberDataReader(TokenReader& tokens, ParseBudget& budget, DataNode& node)
        : tokens_(tokens), budget_(budget), node_(node) {}

    HRESULT ReadInstance(const Template& templ, bool topLevel);

private:
    HRESULT ReadMember(const Template& templ, size_t index,
                       const std::vector<size_t>& memberStarts);
    HRESULT ElementCount(const Template& templ, const TemplateMember& member,
                         const std::vector<size_t>& memberStarts, uint64_t& count);
    HRESULT CountFromMember(const TemplateMember& countMember, size_t start, uint64_t& count);
    HRESULT ReadElement(const TemplateMember& member);
    HRESULT ReadScalar(Primitive type);
    HRESULT ReadString(const Token& token);
    HRESULT Append(const void* bytes, size_t count);

    TokenReader& tokens_;
    ParseBudget& budget_;
    DataNode& node_;
};

HRESULT MemberDataReader::ReadInstance(const Template& templ, bool topLevel) {
    std::vector<size_t> memberStarts(templ.members.size());
    for (size_t i = 0; i < templ.members.size(); ++i) {
        memberStarts[i] = node_.data.size();
        if (topLevel) {
            node_.memberOffsets.push_back(static_cast<uint32_t>(node_.data.size()));
        }
        if (HRESULT hr = ReadMember(templ, i, memberStarts); FAILED(hr)) {
            return hr;
        }
    }
    if (topLevel) {
        node_.memberOffsets.push_back(static_cast<uint32_t>(node_.data.size()));
    }
    return S_OK;
}

HRESULT MemberDataReader::ReadMember(const Template& templ, size_t index,
                                     const std::vector<size_t>& memberStarts) {
    const TemplateMember& member = templ.members[index];
    if (member.dimensions.empty()) {
        return ReadElement(member);
    }
    uint64_t count = 0;
    if (HRESULT hr = ElementCount(templ, member, memberStarts, count); FAILED(hr)) {
        return hr;
    }
    uint64_t valuesPerElement = member.primitive == Primitive::None ? member.type->minValues : 1;
    if (count == 0 || valuesPerElement == 0) {
        // Elements that hold no values take no bytes and consume no input.
        return S_OK;
    }
    // The count must fit in what the input can still hold before a single element is read.
    if (count > tokens_.ValueCapacity() / valuesPerElement) {
        return DXFILEERR_BADARRAYSIZE;
    }
    for (uint64_t i = 0; i < count; ++i) {
        if (HRESULT hr = ReadElement(member); FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

HRESULT MemberDataReader::ElementCount(const Template& templ, const TemplateMember& member,
                                       const std::vector<size_t>& memberStarts, uint64_t& count) {
    // The product of all dimensions: multi-dimensional arrays are laid out as one flat run.
    // A zero anywhere makes the array empty, whatever the other dimensions say.
    count = 1;
    bool overflow = false;
    for (const ArrayDimension& dimension : member.dimensions) {
        uint64_t extent = dimension.constant;
        if (dimension.fromMember) {
            const TemplateMember& countMember = templ.members[dimension.memberIndex];
            HRESULT hr = CountFromMember(countMember, memberStarts[dimension.memberIndex], extent);
            if (FAILED(hr)) {
                return hr;
            }
        }
        if (extent == 0) {
            count = 0;
            return S_OK;
        }
        if (count > UINT64_MAX / extent) {
            overflow = true;
        } else {
            count *= extent;
        }
    }
    return overflow ? DXFILEERR_BADARRAYSIZE : S_OK;
}

HRESULT MemberDataReader::CountFromMember(const TemplateMember& countMember, size_t start,
                                          uint64_t& count) {
    unsigned bytes = PrimitiveBytes(countMember.primitive);
    uint64_t raw = 0;
    for (unsigned i = 0; i < bytes; ++i) {
        raw |= uint64_t{node_.data[start + i]} << (8 * i);
    }
    if (IsSignedPrimitive(countMember.primitive) && (raw >> (8 * bytes - 1)) != 0) {
        return DXFILEERR_BADARRAYSIZE;
    }
    count = raw;
    return S_OK;
}

HRESULT MemberDataReader::ReadElement(const TemplateMember& member) {
    if (member.primitive == Primitive::None) {
        return ReadInstance(*member.type, false);
    }
    return ReadScalar(member.primitive);
}

HRESULT MemberDataReader::ReadScalar(Primitive type) {
    unsigned bytes = PrimitiveBytes(type);
    if (bytes == 0) {
        return DXFILEERR_BADTYPE;
    }
    if (HRESULT hr = SkipSeparators(tokens_); FAILED(hr)) {
        return hr;
    }
    Token token;
    if (HRESULT hr = tokens_.Take(token); FAILED(hr)) {
        return hr;
    }
    // A value of the wrong kind is a bad value; anything else (the end of the object or of the
    // input, a child) means values are missing.
    if (token.kind != TokenKind::Integer && token.kind != TokenKind::Float &&
        token.kind != TokenKind::String) {
        return DXFILEERR_PARSEERROR;
    }
    if (IsStringPrimitive(type)) {
        return token.kind == TokenKind::String ? ReadString(token) : DXFILEERR_BADVALUE;
    }
    if (IsFloatPrimitive(type)) {
        double value = 0.0;
        if (token.kind == TokenKind::Float) {
            value = token.real;
        } else if (token.kind == TokenKind::Integer) {
            value = static_cast<double>(token.magnitude);
            value = token.negative ? -value : value;
        } else {
            return DXFILEERR_BADVALUE;
        }
        if (type == Primitive::Double) {
            return Append(&value, sizeof value);
        }
        float narrow = NarrowToFloat(value);
        return Append(&narrow, sizeof narrow);
    }
    IntegerValue value;
    uint64_t stored = 0;
    if (!IntegerFromToken(token, value) || !FitInteger(value, bytes * 8, stored)) {
        return DXFILEERR_BADVALUE;
    }
    uint8_t little[8];
    for (unsigned i = 0; i < bytes; ++i) {
        little[i] = static_cast<uint8_t>(stored >> (8 * i));
    }
    return Append(little, bytes);
}

HRESULT MemberDataReader::ReadString(const Token& token) {
    if (!budget_.Charge(token.text.size() + 1 + sizeof(std::unique_ptr<char[]>))) {
        return DXFILEERR_BADALLOC;
    }
    auto text = std::make_unique<char[]>(token.text.size() + 1);
    std::memcpy(text.get(), token.text.data(), token.text.size());
    text[token.text.size()] = '\0';
    const char* pointer = text.get();
    node_.strings.push_back(std::move(text));
    return Append(&pointer, sizeof pointer);
}

HRESULT MemberDataReader::Append(const void* bytes, size_t count) {
    if (!budget_.Charge(count)) {
        return DXFILEERR_BADALLOC;
    }
    const auto* first = static_cast<const uint8_t*>(bytes);
    node_.data.insert(node_.data.end(), first, first + count);
    return S_OK;
}

} // namespace

HRESULT ReadMemberData(TokenReader& tokens, ParseBudget& budget, DataNode& node) {
    MemberDataReader reader(tokens, budget, node);
    return reader.ReadInstance(*node.templ, true);
}

} // namespace xfile
