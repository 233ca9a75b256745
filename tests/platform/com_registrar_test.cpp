// The registrar script interpreter and the type-library registration.
#include "platform/com/registrar.h"
#include "platform/com/typelib.h"
#include "platform/registry/registry.h"

#include "com_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <string>

using namespace platform::com;
using platform::registry::RegError;
using platform::registry::Root;

namespace {

// Every key and value of a root as "path" and "path|name=value" lines.
std::set<std::string> Dump(Root root) {
    std::set<std::string> out;
    std::function<void(const std::string&)> walk = [&](const std::string& path) {
        std::vector<std::string> names;
        if (platform::registry::EnumValues(root, path, &names) == RegError::Ok)
            for (const auto& n : names) {
                platform::registry::Value v;
                platform::registry::GetValue(root, path, n, &v);
                std::string text = std::holds_alternative<std::string>(v)
                                       ? "s:" + std::get<std::string>(v)
                                       : "d:" + std::to_string(std::get<uint32_t>(v));
                out.insert(path + "|" + n + "=" + text);
            }
        std::vector<std::string> subs;
        if (platform::registry::EnumSubkeys(root, path, &subs) == RegError::Ok)
            for (const auto& s : subs) {
                std::string p = path.empty() ? s : path + "\\" + s;
                out.insert(p);
                walk(p);
            }
    };
    walk("");
    return out;
}

const char* const kServerScript = R"(HKCR
{
	Tallomir.Zuriruv.1 = s 'Zuriruv Class'
	{
		CLSID = s '{61A366B6-165F-42B6-8A5E-3569B0780C33}'
	}
	Tallomir.Zuriruv = s 'Zuriruv Class'
	{
		CLSID = s '{61A366B6-165F-42B6-8A5E-3569B0780C33}'
		CurVer = s 'Tallomir.Zuriruv.1'
	}
	NoRemove CLSID
	{
		ForceRemove {61A366B6-165F-42B6-8A5E-3569B0780C33} = s 'Zuriruv Class'
		{
			ProgID = s 'Tallomir.Zuriruv.1'
			VersionIndependentProgID = s 'Tallomir.Zuriruv'
			ForceRemove 'Programmable'
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
			}
			'TypeLib' = s '{435E6D57-2051-44EB-8A90-C9BA434215F8}'
		}
	}
}
)";

const std::string kClassKey = "CLSID\\{61A366B6-165F-42B6-8A5E-3569B0780C33}";

class ComRegistrar : public ComRegistryTest {};

TEST_F(ComRegistrar, RegisterCreatesExactlyTheScriptedKeys) {
    RegistrarReplacements map{{"MODULE", "/opt/lib/libtallomir.so"}};
    ASSERT_EQ(UpdateRegistryFromScript(kServerScript, true, map), S_OK);
    const std::set<std::string> expected = {
        "Tallomir.Zuriruv.1",
        "Tallomir.Zuriruv.1|=s:Zuriruv Class",
        "Tallomir.Zuriruv.1\\CLSID",
        "Tallomir.Zuriruv.1\\CLSID|=s:{61A366B6-165F-42B6-8A5E-3569B0780C33}",
        "Tallomir.Zuriruv",
        "Tallomir.Zuriruv|=s:Zuriruv Class",
        "Tallomir.Zuriruv\\CLSID",
        "Tallomir.Zuriruv\\CLSID|=s:{61A366B6-165F-42B6-8A5E-3569B0780C33}",
        "Tallomir.Zuriruv\\CurVer",
        "Tallomir.Zuriruv\\CurVer|=s:Tallomir.Zuriruv.1",
        "CLSID",
        kClassKey,
        kClassKey + "|=s:Zuriruv Class",
        kClassKey + "\\ProgID",
        kClassKey + "\\ProgID|=s:Tallomir.Zuriruv.1",
        kClassKey + "\\VersionIndependentProgID",
        kClassKey + "\\VersionIndependentProgID|=s:Tallomir.Zuriruv",
        kClassKey + "\\Programmable",
        kClassKey + "\\InprocServer32",
        kClassKey + "\\InprocServer32|=s:/opt/lib/libtallomir.so",
        kClassKey + "\\InprocServer32|ThreadingModel=s:Apartment",
        kClassKey + "\\TypeLib",
        kClassKey + "\\TypeLib|=s:{435E6D57-2051-44EB-8A90-C9BA434215F8}",
    };
    EXPECT_EQ(Dump(Root::ClassesRoot), expected);
    EXPECT_TRUE(Dump(Root::CurrentUser).empty());
}

TEST_F(ComRegistrar, ForceRemoveReplacesTheClassKeyAsAWhole) {
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot, kClassKey + "\\Stale", "",
                                           std::string("old")),
              RegError::Ok);
    ASSERT_EQ(UpdateRegistryFromScript(kServerScript, true, {{"MODULE", "/m.so"}}), S_OK);
    EXPECT_FALSE(platform::registry::KeyExists(Root::ClassesRoot, kClassKey + "\\Stale"));
    EXPECT_TRUE(platform::registry::KeyExists(Root::ClassesRoot, kClassKey + "\\InprocServer32"));
}

TEST_F(ComRegistrar, UnregisterKeepsNoRemoveKeysAndForeignSubkeys) {
    // Other servers' entries that must survive.
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot,
                                           "CLSID\\{00000000-0000-0000-0000-0000000000AA}", "",
                                           std::string("Other Class")),
              RegError::Ok);
    ASSERT_EQ(UpdateRegistryFromScript(kServerScript, true, {{"MODULE", "/m.so"}}), S_OK);
    // A key below a plain scripted key, left by someone else.
    ASSERT_EQ(platform::registry::CreateKey(Root::ClassesRoot, "Tallomir.Zuriruv\\Shell"),
              RegError::Ok);

    ASSERT_EQ(UpdateRegistryFromScript(kServerScript, false, {{"MODULE", "/m.so"}}), S_OK);
    const std::set<std::string> expected = {
        "CLSID",
        "CLSID\\{00000000-0000-0000-0000-0000000000AA}",
        "CLSID\\{00000000-0000-0000-0000-0000000000AA}|=s:Other Class",
        // Its own subkeys are gone, the foreign one keeps the key alive.
        "Tallomir.Zuriruv",
        "Tallomir.Zuriruv|=s:Zuriruv Class",
        "Tallomir.Zuriruv\\Shell",
    };
    EXPECT_EQ(Dump(Root::ClassesRoot), expected);

    // Unregistering again finds nothing to do and still succeeds.
    EXPECT_EQ(UpdateRegistryFromScript(kServerScript, false, {{"MODULE", "/m.so"}}), S_OK);
}

TEST_F(ComRegistrar, NamedValuesDwordsQuotingAndRoots) {
    const char* script = R"(HKEY_CURRENT_USER
{
    NoRemove Software
    {
        'Pel''s Key' = d '0x10'
        {
            val Count = d '4294967295'
            val 'Long Name' = s 'it''s %APP% 100%%'
        }
    }
}
HKCU { Delete Obsolete }
)";
    ASSERT_EQ(platform::registry::CreateKey(Root::CurrentUser, "Obsolete\\Deep"), RegError::Ok);
    ASSERT_EQ(UpdateRegistryFromScript(script, true, {{"app", "Ordovane"}}), S_OK);
    EXPECT_EQ(platform::registry::GetDword(Root::CurrentUser, "Software\\Pel's Key", ""), 16u);
    EXPECT_EQ(platform::registry::GetDword(Root::CurrentUser, "Software\\Pel's Key", "Count"),
              4294967295u);
    EXPECT_EQ(platform::registry::GetString(Root::CurrentUser, "Software\\Pel's Key", "Long Name"),
              "it's Ordovane 100%");
    EXPECT_FALSE(platform::registry::KeyExists(Root::CurrentUser, "Obsolete"));

    ASSERT_EQ(UpdateRegistryFromScript(script, false, {{"APP", "Ordovane"}}), S_OK);
    EXPECT_TRUE(platform::registry::KeyExists(Root::CurrentUser, "Software"));
    EXPECT_FALSE(platform::registry::KeyExists(Root::CurrentUser, "Software\\Pel's Key"));
}

TEST_F(ComRegistrar, ParseErrorsLeaveTheRegistryUntouched) {
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot, "Keep", "", std::string("me")),
              RegError::Ok);
    const std::set<std::string> before = Dump(Root::ClassesRoot);
    const char* bad[] = {
        "HKCR { First = s 'ok' } HKCR { Broken = s 'unterminated }",
        "HKCR { A = s 'x' { val = s 'y' } }", // value without a name
        "HKCR { A = s 'x' { B } ",            // missing brace
        "HKCR { A = s 'x' } }",               // extra brace
        "HKLM { Software }",                  // root this store lacks
        "HKCR { A = b '00' }",                // binary value
        "HKCR { A = d 'twelve' }",            // not a number
        "HKCR { A = d '4294967296' }",        // too large
        "HKCR { A = s '%UNKNOWN%' }",         // no such replacement
        "HKCR { A = s '%MODULE' }",           // unterminated replacement
        "HKCR { 'a\\b' }",                    // separator in a key name
        "HKCR { A = 'x' }",                   // no type
        "HKCR A",                             // root without a block
        "CLSID { }",                          // not a root
    };
    for (const char* script : bad) {
        for (bool reg : {true, false})
            EXPECT_EQ(UpdateRegistryFromScript(script, reg, {{"MODULE", "/m.so"}}), E_INVALIDARG)
                << script;
        EXPECT_EQ(Dump(Root::ClassesRoot), before) << script;
    }
    std::string deep = "HKCR {";
    for (int i = 0; i < 1000; ++i)
        deep += " K {";
    EXPECT_EQ(UpdateRegistryFromScript(deep, true), E_INVALIDARG);
    EXPECT_EQ(UpdateRegistryFromScript("", true), S_OK); // nothing to do
}

// Regression: a script that failed after some keys were written left them
// behind, so a failed registration was half done. Names and texts the store
// cannot hold are now refused before anything is written, and a run that the
// store fails half-way (here a corrupt second root) puts back what it changed.
TEST_F(ComRegistrar, FailedRegistrationLeavesTheStoreAsItFoundIt) {
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot, "CLSID\\{0}\\InprocServer32", "",
                                           std::string("/other.so")),
              RegError::Ok);
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot, "CLSID\\{0}", "Count", 7u),
              RegError::Ok);
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot, "Kept", "", std::string("old")),
              RegError::Ok);
    const std::set<std::string> before = Dump(Root::ClassesRoot);
    using namespace std::string_literals;
    const std::string invalid[] = {
        "HKCR { First.Key = s 'made' 'Broken\0Name' = s 'x' }"s, // NUL in a quoted name
        "HKCR { First.Key { val V = d '1' } 'Broken\nName' }",   // quoted name over a line break
        "HKCR { First.Key { val 'V\r' = s 'x' } }",              // carriage return in a value name
        "HKCR { First.Key = s 'a\0b' }"s,                        // NUL in a string value
    };
    for (const std::string& script : invalid) {
        EXPECT_EQ(UpdateRegistryFromScript(script, true), E_INVALIDARG) << script;
        EXPECT_EQ(Dump(Root::ClassesRoot), before) << script;
    }

    // The classes root is changed in every way the registrar changes it
    // (replaced, deleted, created, values overwritten) before the current
    // user's root turns out to be unreadable.
    const std::string corrupt = dir_ + "/HKEY_CURRENT_USER.reg";
    std::ofstream(corrupt) << "not a key store file\n";
    const char* halfWay = R"(HKCR
{
    NoRemove CLSID
    {
        ForceRemove {0} = s 'Replaced' { Sub }
    }
    Delete Kept
    New.Key = d '0x10' { Deeper { val V = s 'v' } }
}
HKCU
{
    Software = s 'x'
}
)";
    EXPECT_EQ(UpdateRegistryFromScript(halfWay, true), HRESULT_BADDB);
    EXPECT_EQ(Dump(Root::ClassesRoot), before);

    // Unregistering what is there fails on the same root and keeps it all.
    const char* unregister = "HKCR { CLSID { ForceRemove {0} } Kept { val X = s 'y' } } "
                             "HKCU { ForceRemove Software }";
    EXPECT_EQ(UpdateRegistryFromScript(unregister, false), HRESULT_BADDB);
    EXPECT_EQ(Dump(Root::ClassesRoot), before);
}

// ------------------------------------------------------ type library

const IID kIid = {0x6786CC55, 0x6A3A, 0x4720, {0xAA, 0xDF, 0xF2, 0xFA, 0x5B, 0x64, 0xB5, 0xB3}};
const GUID kLibid = {0x435E6D57, 0x2051, 0x44EB, {0x8A, 0x90, 0xC9, 0xBA, 0x43, 0x42, 0x15, 0xF8}};

TypeLibDescription Library(WORD minor) {
    TypeLibDescription lib;
    lib.libid = kLibid;
    lib.name = "TALLOMIRLib";
    lib.help = "Tallomir 1.1 Type Library";
    lib.majorVersion = 1;
    lib.minorVersion = minor;
    lib.interfaces.push_back({kIid, "IZuriruv", "IZuriruv Interface", {}});
    return lib;
}

class ComTypeLib : public ComRegistryTest {};

TEST_F(ComTypeLib, RegisterWritesLibraryAndInterfaceKeys) {
    ASSERT_EQ(RegisterTypeLib(Library(1), "/opt/lib/libtallomir.so"), S_OK);
    const std::string lib = "TypeLib\\{435E6D57-2051-44EB-8A90-C9BA434215F8}\\1.1";
    const std::string itf = "Interface\\{6786CC55-6A3A-4720-AADF-F2FA5B64B5B3}";
    const std::string psoa = "s:{00020424-0000-0000-C000-000000000046}";
    const std::set<std::string> expected = {
        "TypeLib",
        "TypeLib\\{435E6D57-2051-44EB-8A90-C9BA434215F8}",
        lib,
        lib + "|=s:Tallomir 1.1 Type Library",
        lib + "\\0",
        lib + "\\0\\win32",
        lib + "\\0\\win32|=s:/opt/lib/libtallomir.so",
        lib + "\\FLAGS",
        lib + "\\FLAGS|=s:0",
        lib + "\\HELPDIR",
        lib + "\\HELPDIR|=s:/opt/lib",
        "Interface",
        itf,
        itf + "|=s:IZuriruv",
        itf + "\\ProxyStubClsid",
        itf + "\\ProxyStubClsid|=" + psoa,
        itf + "\\ProxyStubClsid32",
        itf + "\\ProxyStubClsid32|=" + psoa,
        itf + "\\TypeLib",
        itf + "\\TypeLib|=s:{435E6D57-2051-44EB-8A90-C9BA434215F8}",
        itf + "\\TypeLib|Version=s:1.1",
    };
    EXPECT_EQ(Dump(Root::ClassesRoot), expected);
}

TEST_F(ComTypeLib, UnregisterRemovesOnlyThatVersion) {
    ASSERT_EQ(RegisterTypeLib(Library(1), "/opt/lib/libtallomir.so"), S_OK);
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot,
                                           "Interface\\{00000000-0000-0000-0000-0000000000BB}", "",
                                           std::string("IOther")),
              RegError::Ok);
    ASSERT_EQ(RegisterTypeLib(Library(0x10), "/opt/lib/v2/libtallomir.so"), S_OK);
    EXPECT_TRUE(platform::registry::KeyExists(
        Root::ClassesRoot, "TypeLib\\{435E6D57-2051-44EB-8A90-C9BA434215F8}\\1.10"));

    UnRegisterTypeLibFn unregister = LookupUnRegisterTypeLib();
    ASSERT_NE(unregister, nullptr);
    EXPECT_EQ(unregister, &::UnRegisterTypeLib);
    // The interface now names version 1.10, so removing 1.10 takes it too.
    ASSERT_EQ(unregister(kLibid, 1, 0x10, 0, SYS_WIN32), S_OK);
    std::set<std::string> left = Dump(Root::ClassesRoot);
    EXPECT_TRUE(left.count("TypeLib\\{435E6D57-2051-44EB-8A90-C9BA434215F8}\\1.1"));
    EXPECT_FALSE(left.count("Interface\\{6786CC55-6A3A-4720-AADF-F2FA5B64B5B3}"));
    EXPECT_TRUE(left.count("Interface\\{00000000-0000-0000-0000-0000000000BB}"));

    ASSERT_EQ(unregister(kLibid, 1, 1, 0, SYS_WIN32), S_OK);
    EXPECT_EQ(Dump(Root::ClassesRoot),
              (std::set<std::string>{
                  "TypeLib", "Interface", "Interface\\{00000000-0000-0000-0000-0000000000BB}",
                  "Interface\\{00000000-0000-0000-0000-0000000000BB}|=s:IOther"}));
    EXPECT_EQ(unregister(kLibid, 1, 1, 0, SYS_WIN32), TYPE_E_REGISTRYACCESS);
}

} // namespace
