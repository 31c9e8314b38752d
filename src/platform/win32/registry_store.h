// The registry's backing store (internal).
//
// The file is $LUMENFALL_REGISTRY when that is set, else $XDG_CONFIG_HOME/lumenfall/registry.ini,
// else ~/.config/lumenfall/registry.ini. It is an INI file: a section names a key by its full
// path, each line under it is one string value:
//
//     [HKEY_LOCAL_MACHINE\Software\Quorvane\DirectX]
//     Kestrel Samples Path=/home/me/media
//
// Key paths and value names are compared regardless of case; lines starting with ';' or '#' are
// comments; lines that fit neither form are ignored. A value absent from the file falls back to a
// built-in default: "Kestrel Samples Path" under HKEY_LOCAL_MACHINE\Software\Quorvane\DirectX is
// the folder that holds Marlow/Media beside the running program's bin/ folder, which is where
// both the build tree and the installed tree keep the media.
#pragma once

#include <map>
#include <string>
#include <string_view>

// Key path (canonical: lower case, single backslashes) -> value name (lower case) -> value.
using RegistryKeyValues = std::map<std::string, std::string>;
using RegistryContents = std::map<std::string, RegistryKeyValues>;

std::string CanonicalKeyPath(std::string_view path);
std::string CanonicalValueName(std::string_view name);
RegistryContents ParseRegistryText(std::string_view text);
std::string RegistryFilePath();
// The defaults overlaid with the file's contents, read afresh.
RegistryContents LoadRegistry();
