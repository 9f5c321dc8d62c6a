#include "sandbox/simulated_pc.h"

#include <cstdio>
#include <fstream>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "base/date_time_text.h"
#include "devices/com_port_name.h"
#include "devices/device_dates.h"
#include "devices/device_status.h"

namespace pyr {

namespace {

using Json = nlohmann::json;

// Reads the fields of one JSON object, naming the field in the first error it meets.
class Fields {
 public:
  Fields(const Json& object, std::string path, std::string* error)
      : object_(object), path_(std::move(path)), error_(error) {}

  bool Fail(const std::string& key, const std::string& what) const {
    *error_ = path_ + "." + key + ": " + what;
    return false;
  }
  const Json* Find(const char* key) const {
    auto it = object_.find(key);
    return it == object_.end() || it->is_null() ? nullptr : &*it;
  }
  bool Text(const char* key, bool required, std::optional<WideText>* out) const {
    const Json* v = Find(key);
    if (!v) return required ? Fail(key, "missing") : true;
    if (!v->is_string()) return Fail(key, "expected a string");
    const std::string& s = v->get_ref<const std::string&>();
    *out = WideText::FromUtf8(s.c_str(), s.size());
    return true;
  }
  bool Text(const char* key, bool required, WideText* out) const {
    std::optional<WideText> t;
    if (!Text(key, required, &t)) return false;
    if (t) *out = std::move(*t);
    return true;
  }
  bool TextList(const char* key, std::vector<WideText>* out) const {
    const Json* v = Find(key);
    if (!v) return true;
    if (!v->is_array()) return Fail(key, "expected an array of strings");
    for (size_t i = 0; i < v->size(); ++i) {
      const Json& item = (*v)[i];
      if (!item.is_string()) return Fail(key + ("[" + std::to_string(i) + "]"), "expected a string");
      const std::string& s = item.get_ref<const std::string&>();
      out->push_back(WideText::FromUtf8(s.c_str(), s.size()));
    }
    return true;
  }
  bool Bool(const char* key, std::optional<bool>* out) const {
    const Json* v = Find(key);
    if (!v) return true;
    if (!v->is_boolean()) return Fail(key, "expected true or false");
    *out = v->get<bool>();
    return true;
  }
  bool Int(const char* key, bool required, int64_t low, int64_t high, int64_t* out) const {
    const Json* v = Find(key);
    if (!v) return required ? Fail(key, "missing") : true;
    if (!v->is_number_integer()) return Fail(key, "expected a whole number");
    int64_t n = v->is_number_unsigned() && v->get<uint64_t>() > uint64_t(INT64_MAX)
                    ? INT64_MAX
                    : v->get<int64_t>();
    if (n < low || n > high) {
      return Fail(key, "must lie between " + std::to_string(low) + " and " + std::to_string(high));
    }
    *out = n;
    return true;
  }
  bool GuidField(const char* key, bool required, std::optional<Guid>* out) const {
    std::optional<WideText> t;
    if (!Text(key, required, &t)) return false;
    if (!t) return true;
    Guid g;
    if (!Guid::Parse(t->View(), &g)) return Fail(key, "expected a GUID such as {4d36e968-e325-11ce-bfc1-08002be10318}");
    *out = g;
    return true;
  }
  // "YYYY-MM-DD" as a FILETIME at midnight.
  // A number of days before now (fractions allowed; below zero is a date in the future).
  bool DaysAgo(const char* key, uint64_t now, std::optional<uint64_t>* out) const {
    auto it = object_.find(key);
    if (it == object_.end()) return true;
    if (!it->is_number()) return Fail(key, "expected a number of days");
    const double days = it->get<double>();
    const double ago = days * double(kFileTimeDay);
    if (!(days > -36500 && days < 36500) || ago > double(now)) return Fail(key, "out of range");
    *out = static_cast<uint64_t>(static_cast<int64_t>(now) - static_cast<int64_t>(ago));
    return true;
  }

  bool Date(const char* key, std::optional<uint64_t>* out) const {
    std::optional<WideText> t;
    if (!Text(key, false, &t)) return false;
    if (!t) return true;
    std::string s = t->ToUtf8();
    CalendarTime c;
    int y = 0, m = 0, d = 0;
    char tail = 0;
    uint64_t ft = 0;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3 || s.size() != 10) {
      return Fail(key, "expected a date YYYY-MM-DD");
    }
    c.year = static_cast<uint16_t>(y);
    c.month = static_cast<uint16_t>(m);
    c.day = static_cast<uint16_t>(d);
    if (!FileTimeFromCalendar(c, &ft)) return Fail(key, "not a date from 1601 on");
    *out = ft;
    return true;
  }

 private:
  const Json& object_;
  std::string path_;
  std::string* error_;
};

std::u16string FoldedId(const WideText& id) {
  std::u16string folded(id.View());
  for (char16_t& c : folded) c = LowerUnit(c);
  return folded;
}

bool ParseClasses(const Json& list, SimulatedPc* pc, std::string* error) {
  for (size_t i = 0; i < list.size(); ++i) {
    std::string path = "classes[" + std::to_string(i) + "]";
    if (!list[i].is_object()) return (*error = path + ": expected an object"), false;
    Fields f(list[i], path, error);
    SimulatedClass c;
    std::optional<Guid> guid;
    int64_t image = 0;
    if (!f.GuidField("guid", true, &guid) || !f.Text("name", true, &c.name) ||
        !f.Text("description", true, &c.description) ||
        !f.Int("image", false, 0, INT32_MAX, &image)) {
      return false;
    }
    c.guid = *guid;
    // SetupDiGetClassImageIndex answers the Unknown picture for a class without one of its own.
    c.image = f.Find("image") ? static_cast<int32_t>(image) : pc->unknownClassImage;
    if (pc->ClassByGuid(c.guid)) return f.Fail("guid", "listed twice");
    pc->classes.push_back(std::move(c));
  }
  return true;
}

bool ParseDevice(const Json& item, const std::string& path, SimulatedPc* pc,
                 std::unordered_set<std::u16string>* seenIds, std::string* error) {
  if (!item.is_object()) return (*error = path + ": expected an object"), false;
  Fields f(item, path, error);
  SimulatedDevice d;
  std::optional<WideText> className;
  std::optional<bool> present, show, notDisableable, needsRestart;
  int64_t problem = 0;
  if (!f.Text("instanceId", true, &d.instanceId) || !f.Text("name", false, &d.name) ||
      !f.Text("class", false, &className) || !f.GuidField("classGuid", false, &d.classGuid) ||
      !f.TextList("hardwareIds", &d.hardwareIds) || !f.TextList("compatibleIds", &d.compatibleIds) ||
      !f.TextList("locationPaths", &d.locationPaths) ||
      !f.Text("manufacturer", false, &d.manufacturer) ||
      !f.Text("driverVersion", false, &d.driverVersion) || !f.Text("service", false, &d.service) ||
      !f.Text("infPath", false, &d.infPath) || !f.Date("driverDate", &d.driverDate) ||
      !f.Int("problem", false, 0, UINT32_MAX, &problem) || !f.Bool("present", &present) ||
      !f.Bool("showInUninstallUi", &show) || !f.Bool("notDisableable", &notDisableable) || !f.Bool("needsRestart", &needsRestart) ||
      !f.Text("parent", false, &d.parent)) {
    return false;
  }
  if (!f.Int("installDelayMs", false, -1, 600000, &d.installDelayMs)) return false;
  // Counted from the start of today (UTC), so every start on one day shows the same dates.
  const uint64_t now = FileTimeNow() / kFileTimeDay * kFileTimeDay;
  if (!f.DaysAgo("firstInstallDaysAgo", now, &d.firstInstallDate) ||
      !f.DaysAgo("lastArrivalDaysAgo", now, &d.lastArrivalDate) ||
      !f.DaysAgo("lastRemovalDaysAgo", now, &d.lastRemovalDate)) {
    return false;
  }
  if (d.instanceId.Empty()) return f.Fail("instanceId", "must not be empty");
  if (className) {
    if (d.classGuid) return f.Fail("class", "give either class or classGuid");
    const SimulatedClass* found = nullptr;
    for (const SimulatedClass& c : pc->classes) {
      if (WideText::EqualsNoCase(c.name.View(), className->View())) found = &c;
    }
    if (!found) return f.Fail("class", "no class named \"" + className->ToUtf8() + "\"");
    d.classGuid = found->guid;
    d.className = found->name;
  }
  d.problem = static_cast<uint32_t>(problem);
  d.present = present.value_or(true);
  d.showInUninstallUi = show;
  d.notDisableable = notDisableable.value_or(false);
  d.needsRestart = needsRestart.value_or(false);
  d.disabledAtBoot = d.problem == kProblemDisabled;
  // Instance IDs compare without regard to case; a set keeps 10,000 devices from costing
  // 50 million comparisons.
  if (!seenIds->insert(FoldedId(d.instanceId)).second) return f.Fail("instanceId", "used twice");
  if (WideText::EqualsNoCase(d.className.View(), u"Ports") && d.name) {
    if (uint32_t port = ComPortNumberOfName(d.name->View())) pc->comPortsInUse.insert(port);
  }
  pc->devices.push_back(std::move(d));
  return true;
}

bool ParsePackage(const Json& item, const std::string& path, SimulatedPc* pc, std::string* error) {
  if (!item.is_object()) return (*error = path + ": expected an object"), false;
  Fields f(item, path, error);
  DriverPackage p;
  return f.Text("publishedName", true, &p.publishedName) &&
         f.Text("originalName", true, &p.originalName) && f.Text("folder", true, &p.folder) &&
         f.Text("driverVer", true, &p.driverVer) && f.Text("provider", false, &p.provider) &&
         f.Text("class", false, &p.className) && f.TextList("hardwareIds", &p.hardwareIds) &&
         (pc->driverStore.push_back(std::move(p)), true);
}

}  // namespace

const SimulatedClass* SimulatedPc::ClassByGuid(const Guid& guid) const {
  for (const SimulatedClass& c : classes) {
    if (c.guid == guid) return &c;
  }
  return nullptr;
}

bool ParseSimulatedPc(std::string_view text, SimulatedPc* out, std::string* error) {
  Json root;
  try {
    root = Json::parse(text.begin(), text.end());
  } catch (const Json::exception& e) {
    // The library's message names line and column after its own "[json.exception...] " tag.
    std::string what = e.what();
    if (const size_t tag = what.find("] "); what.rfind("[json.", 0) == 0 && tag != std::string::npos) {
      what.erase(0, tag + 2);
    }
    *error = "not valid JSON: " + what;
    return false;
  }
  if (!root.is_object()) return (*error = "the fixture must be a JSON object"), false;
  SimulatedPc pc;
  Fields top(root, "pc", error);
  int64_t unknownImage = 0;
  if (!top.Int("unknownClassImage", true, 0, INT32_MAX, &unknownImage)) return false;
  pc.unknownClassImage = static_cast<int32_t>(unknownImage);
  for (const char* key : {"classes", "devices"}) {
    if (!top.Find(key) || !top.Find(key)->is_array()) return top.Fail(key, "expected an array");
  }
  if (!ParseClasses(root["classes"], &pc, error)) return false;
  const Json& devices = root["devices"];
  std::unordered_set<std::u16string> seenIds;
  for (size_t i = 0; i < devices.size(); ++i) {
    if (!ParseDevice(devices[i], "devices[" + std::to_string(i) + "]", &pc, &seenIds, error)) {
      return false;
    }
  }
  // A parent names a device of the same PC.
  for (size_t i = 0; i < pc.devices.size(); ++i) {
    const WideText& parent = pc.devices[i].parent;
    if (!parent.Empty() && !seenIds.count(FoldedId(parent))) {
      *error = "devices[" + std::to_string(i) + "].parent: no device \"" + parent.ToUtf8() + "\"";
      return false;
    }
  }
  if (const Json* store = top.Find("driverStore")) {
    if (!store->is_array()) return top.Fail("driverStore", "expected an array");
    for (size_t i = 0; i < store->size(); ++i) {
      if (!ParsePackage((*store)[i], "driverStore[" + std::to_string(i) + "]", &pc, error)) {
        return false;
      }
    }
  }
  *out = std::move(pc);
  return true;
}

bool LoadSimulatedPcFile(const std::filesystem::path& path, SimulatedPc* pc, std::string* error) {
  const std::u8string name8 = path.u8string();
  const std::string name(name8.begin(), name8.end());
  std::ifstream in(path, std::ios::binary);
  if (!in) return (*error = name + ": cannot be read"), false;
  // A PC of 10,000 devices with long names takes a few megabytes; more is not a fixture.
  constexpr std::streamoff kMaxFixtureBytes = std::streamoff{256} << 20;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0 || size > kMaxFixtureBytes) {
    return (*error = name + ": larger than the 256 MiB a fixture may take"), false;
  }
  std::string content(static_cast<size_t>(size), '\0');
  if (size > 0 && !in.read(content.data(), size)) return (*error = name + ": cannot be read"), false;
  if (!ParseSimulatedPc(content, pc, error)) {
    *error = name + ": " + *error;
    return false;
  }
  return true;
}

SimulatedPc ScaledPc(const SimulatedPc& base, size_t deviceCount) {
  SimulatedPc pc = base;
  pc.devices.clear();
  if (base.devices.empty()) return pc;
  pc.devices.reserve(deviceCount);
  for (size_t i = 0; i < deviceCount; ++i) {
    SimulatedDevice d = base.devices[i % base.devices.size()];
    if (size_t round = i / base.devices.size()) {
      d.instanceId.Append({u"#", WideText::FromUInt64(round)});
      if (!d.parent.Empty()) d.parent.Append({u"#", WideText::FromUInt64(round)});
    }
    pc.devices.push_back(std::move(d));
  }
  return pc;
}

}  // namespace pyr
