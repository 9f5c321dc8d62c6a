#include "sandbox/driver_store_files.h"

#include <cstdint>

#include "base/file_system.h"

namespace pyr {

namespace {

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r')) s.remove_suffix(1);
  return s;
}

std::u16string_view Unquote(std::u16string_view s) {
  s = Trim(s);
  if (s.size() >= 2 && s.front() == u'"' && s.back() == u'"') s = s.substr(1, s.size() - 2);
  return s;
}

WideText Decode(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return WideText(std::move(text));
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return WideText::FromUtf8(bytes.data(), bytes.size());
}

std::vector<std::u16string_view> SplitView(std::u16string_view s, char16_t at) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t end = s.find(at, start);
    parts.push_back(s.substr(start, end == s.npos ? s.npos : end - start));
    if (end == s.npos) return parts;
    start = end + 1;
  }
}

// Fills the expression "%Name%" from [Strings].
WideText Expand(std::u16string_view value, const std::vector<std::pair<WideText, WideText>>& strings) {
  value = Unquote(value);
  if (value.size() > 2 && value.front() == u'%' && value.back() == u'%') {
    for (const auto& [key, text] : strings) {
      if (WideText::EqualsNoCase(key.View(), value.substr(1, value.size() - 2))) return text;
    }
  }
  return WideText(value);
}

}  // namespace

bool ParseInfText(std::string_view bytes, InfFacts* facts) {
  const WideText text = Decode(bytes);
  struct Line {
    WideText section;
    std::u16string_view key, value;
  };
  std::vector<Line> lines;
  std::vector<std::pair<WideText, WideText>> strings;
  WideText section;
  for (std::u16string_view raw : SplitView(text.View(), u'\n')) {
    size_t comment = raw.find(u';');
    std::u16string_view line = Trim(raw.substr(0, comment));
    if (line.empty()) continue;
    if (line.front() == u'[') {
      size_t close = line.find(u']');
      section = WideText(Trim(line.substr(1, close == line.npos ? line.npos : close - 1)));
      continue;
    }
    size_t eq = line.find(u'=');
    Line l{section, eq == line.npos ? line : Trim(line.substr(0, eq)),
           eq == line.npos ? std::u16string_view() : Trim(line.substr(eq + 1))};
    if (WideText::EqualsNoCase(section.View(), u"Strings")) strings.emplace_back(WideText(l.key), WideText(Unquote(l.value)));
    lines.push_back(l);
  }
  // Models sections: each [Manufacturer] entry names a section, with optional decorations.
  std::vector<WideText> models;
  for (const Line& l : lines) {
    if (!WideText::EqualsNoCase(l.section.View(), u"Manufacturer")) continue;
    std::vector<std::u16string_view> parts = SplitView(l.value, u',');
    const std::u16string_view base = Trim(parts[0]);
    models.emplace_back(base);
    for (size_t i = 1; i < parts.size(); ++i) models.push_back(Concat({base, u".", Trim(parts[i])}));
  }
  *facts = InfFacts();
  for (const Line& l : lines) {
    if (WideText::EqualsNoCase(l.section.View(), u"Version")) {
      if (WideText::EqualsNoCase(l.key, u"DriverVer")) facts->driverVer = WideText(Unquote(l.value));
      if (WideText::EqualsNoCase(l.key, u"Provider")) facts->provider = Expand(l.value, strings);
      if (WideText::EqualsNoCase(l.key, u"Class")) facts->className = WideText(Unquote(l.value));
    } else if (WideText::EqualsNoCase(l.section.View(), u"SourceDisksFiles")) {
      facts->files.emplace_back(l.key);
    } else if (WideText::EqualsNoCase(l.section.View(), u"ControlFlags")) {
      facts->excludeFromSelect |= WideText::EqualsNoCase(l.key, u"ExcludeFromSelect");
    } else {
      for (const WideText& m : models) {
        if (!WideText::EqualsNoCase(l.section.View(), m.View())) continue;
        std::vector<std::u16string_view> parts = SplitView(l.value, u',');
        for (size_t i = 1; i < parts.size(); ++i) {
          if (!Trim(parts[i]).empty()) facts->hardwareIds.emplace_back(Trim(parts[i]));
        }
      }
    }
  }
  return !facts->driverVer.Empty();
}

std::vector<WideText> PackageFileNames(const DriverPackage& package) {
  std::u16string_view inf = package.originalName.View();
  std::u16string_view base = inf.substr(0, inf.rfind(u'.'));
  return {Concat({base, u".sys"}), Concat({base, u".cat"})};
}

uint32_t PackageFileSize(std::u16string_view fileName) {
  uint32_t hash = 2166136261u;
  for (char16_t c : fileName) hash = (hash ^ c) * 16777619u;
  if (fileName.ends_with(u".cat")) return 2048 + hash % 8192;
  return 4096 + hash % (4u << 20);  // 4 KiB to a little over 4 MiB
}

std::string MakeInfText(const DriverPackage& package, const std::vector<WideText>& files) {
  WideText inf;
  inf.Append({u"; ", package.originalName, u"\r\n[Version]\r\nSignature=\"$WINDOWS NT$\"\r\nClass=", package.className,
              u"\r\nProvider=%Provider%\r\nDriverVer=", package.driverVer, u"\r\nCatalogFile=", files[1],
              u"\r\n\r\n[Manufacturer]\r\n%Provider%=Models,NTamd64\r\n\r\n[Models.NTamd64]\r\n"});
  int n = 0;
  for (const WideText& id : package.hardwareIds) {
    inf.Append({u"%Device", WideText::FromInt32(n++), u"%=Install, ", id, u"\r\n"});
  }
  inf.Append(u"\r\n[SourceDisksFiles]\r\n");
  for (const WideText& f : files) inf.Append({f, u"=1\r\n"});
  inf.Append({u"\r\n[Strings]\r\nProvider=\"", package.provider, u"\"\r\n"});
  for (int i = 0; i < n; ++i) inf.Append({u"Device", WideText::FromInt32(i), u"=\"", package.provider, u" device\"\r\n"});
  return inf.ToUtf8();
}

WideText PackageFolder(const WideText& root, const DriverPackage& package) {
  return Concat({root, u"\\FileRepository\\", package.folder});
}

size_t WriteDriverStoreFiles(const SimulatedPc& pc, const WideText& root) {
  size_t complete = 0;
  std::string content;
  for (const DriverPackage& package : pc.driverStore) {
    const WideText folder = PackageFolder(root, package);
    const WideText inf = Concat({folder, u"\\", package.originalName});
    const std::vector<WideText> files = PackageFileNames(package);
    // The INF is written last, so a package with its INF is complete.
    if (GetFileSizeByPath(inf) != 0) {
      ++complete;
      continue;
    }
    bool ok = CreateDirectoryTree(folder);
    for (const WideText& name : files) {
      content.resize(PackageFileSize(name.View()));
      uint32_t state = static_cast<uint32_t>(content.size());
      for (char& c : content) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
      }
      OutputFile out;
      ok = ok && out.Open(Concat({folder, u"\\", name})) &&
           out.Write(content.data(), static_cast<uint32_t>(content.size())) == content.size();
    }
    const std::string text = MakeInfText(package, files);
    OutputFile out;
    ok = ok && out.Open(inf) && out.Write(text.data(), static_cast<uint32_t>(text.size())) == text.size();
    if (ok) ++complete;
  }
  return complete;
}

SimulatedPc ScaledStorePc(const SimulatedPc& base, size_t packages, size_t devices, const WideText& root) {
  SimulatedPc pc = ScaledPc(base, devices);
  pc.driverStore.clear();
  for (size_t i = 0; i < packages && !base.driverStore.empty(); ++i) {
    DriverPackage p = base.driverStore[i % base.driverStore.size()];
    p.publishedName = Concat({u"oem", WideText::FromUInt64(i + 1), u".inf"});
    p.folder = Concat({p.originalName, u"_amd64_", WideText::FromUInt64(i)});
    pc.driverStore.push_back(p);
    OutputFile out;
    CreateDirectoryTree(PackageFolder(root, p));
    out.Open(Concat({PackageFolder(root, p), u"\\", p.originalName}));
    out.Write("[Version]\n", 10);
  }
  return pc;
}

}  // namespace pyr
