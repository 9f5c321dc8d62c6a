// A small PC with drivers for the uninstall and driver command tests: adapters A, B (present,
// installed from packages of the store) and C (present, Microsoft's own INF), and an absent
// printer.
#pragma once

#include "base/date_time_text.h"
#include "sandbox/driver_store_files.h"
#include "support/scripted_host.h"
#include "support/temp_folder.h"

namespace pyr::testing {

inline SimulatedDevice WithDriver(SimulatedDevice d, const char16_t* inf, uint16_t year, const char16_t* version) {
  d.infPath = inf;
  d.driverVersion = version;
  CalendarTime c;
  c.year = year;
  c.month = 1;
  c.day = 1;
  uint64_t ft = 0;
  FileTimeFromCalendar(c, &ft);
  d.driverDate = ft;
  return d;
}

inline DriverPackage Package(const char16_t* published, const char16_t* original, const char16_t* driverVer,
                             const char16_t* hardwareId) {
  DriverPackage p;
  p.publishedName = published;
  p.originalName = original;
  p.folder = Concat({original, u"_amd64_0123"});
  p.driverVer = driverVer;
  p.provider = u"Maker";
  p.className = u"Net";
  p.hardwareIds = {hardwareId};
  return p;
}

inline SimulatedPc DriverPc() {
  SimulatedPc pc = SmallPc({WithDriver(MakeDevice(u"PCI\\A", u"Adapter A"), u"oem1.inf", 2020, u"1.0"),
                            WithDriver(MakeDevice(u"PCI\\B", u"Adapter B"), u"oem2.inf", 2020, u"2.0"),
                            WithDriver(MakeDevice(u"PCI\\C", u"Adapter C"), u"net.inf", 2006, u"10.0"),
                            MakeDevice(u"USB\\P", u"Old printer", 0, false)});
  pc.driverStore = {Package(u"oem1.inf", u"neta.inf", u"01/01/2020,1.0", u"HW\\Adapter A"),
                    Package(u"oem2.inf", u"netb.inf", u"01/01/2020,2.0", u"HW\\Adapter B"),
                    Package(u"oem3.inf", u"netb.inf", u"06/01/2022,2.5", u"HW\\Adapter B")};
  return pc;
}

// The store's packages as small files, and a program data folder, below temp: what removing a
// package needs, since its copy is taken first.
inline void UseFolders(ScriptedHost& host, TempFolder& temp) {
  const WideText store = temp.Path(u"DriverStore");
  host.platform.SetDriverStoreRoot(store);
  for (const DriverPackage& p : host.platform.Pc().driverStore) {
    temp.Write(Concat({PackageFolder(store, p), u"\\", p.originalName}), p.driverVer.ToUtf8());
  }
  host.programData = temp.Path(u"ProgramData").Str();
  CreateDirectoryTree(temp.Path(u"ProgramData"));
}

}  // namespace pyr::testing
