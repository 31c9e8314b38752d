// Base types of the Windows subset: integer widths, handles, result codes, GUIDs and the
// reference-counted interface base. Widths follow the 32-bit platform the program was written
// for (LONG, DWORD and HRESULT are 32 bits); WPARAM, LPARAM and LRESULT are pointer-sized.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using UINT = unsigned int;
using INT = int;
using BOOL = int32_t;
using CHAR = char;
using FLOAT = float;
using HRESULT = int32_t;
using ATOM = uint16_t;
using COLORREF = DWORD;
using REGSAM = DWORD;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Handles are distinct pointer types so that they cannot be mixed up.
#define LF_DECLARE_HANDLE(name)                                                                    \
    struct name##__;                                                                               \
    using name = name##__*
LF_DECLARE_HANDLE(HWND);
LF_DECLARE_HANDLE(HINSTANCE);
LF_DECLARE_HANDLE(HDC);
LF_DECLARE_HANDLE(HGDIOBJ);
LF_DECLARE_HANDLE(HBITMAP);
LF_DECLARE_HANDLE(HBRUSH);
LF_DECLARE_HANDLE(HICON);
LF_DECLARE_HANDLE(HCURSOR);
LF_DECLARE_HANDLE(HMENU);
LF_DECLARE_HANDLE(HACCEL);
LF_DECLARE_HANDLE(HKEY);
LF_DECLARE_HANDLE(HMONITOR);
LF_DECLARE_HANDLE(HRGN);
LF_DECLARE_HANDLE(HFONT);
#undef LF_DECLARE_HANDLE
using HMODULE = HINSTANCE;
using HANDLE = void*;

// ---- Result codes ------------------------------------------------------------------------------
constexpr HRESULT MakeHResult(uint32_t bits) { return static_cast<HRESULT>(bits); }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001);
constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002);
constexpr HRESULT E_POINTER = MakeHResult(0x80004003);
constexpr HRESULT E_FAIL = MakeHResult(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000E);
constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057);

// ---- GUIDs -------------------------------------------------------------------------------------
struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
static_assert(sizeof(GUID) == 16);
using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFGUID = const GUID&;
using LPGUID = GUID*;

inline bool IsEqualGUID(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(const GUID& a, const GUID& b) { return IsEqualGUID(a, b); }

// ---- Reference-counted interfaces --------------------------------------------------------------
// Objects are released, never deleted, by their users; implementations delete themselves when
// the count reaches zero (see com_object.h).
extern const IID IID_IUnknown;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

// ---- Geometry records --------------------------------------------------------------------------
struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

// ---- Word helpers ------------------------------------------------------------------------------
constexpr WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return static_cast<WPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16)); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16)); }
// Signed coordinates packed in an LPARAM (sign-extended low and high words).
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lp))); }

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return static_cast<COLORREF>(r | (g << 8) | (b << 16)); }
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

// Integer resource names travel in string pointers, as the platform does.
inline LPSTR MAKEINTRESOURCEA(WORD id) { return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(id)); }
inline bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }
