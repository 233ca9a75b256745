#include "automation/tallomir_resources.h"

#include "automation/zuriruv_interface.h"
#include "automation/zuriruv_methods.h"

using namespace platform::com;

namespace automation {

const char* const kProjectName = "Tallomir";

const char* const kRegistryScript = R"(HKCR
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

namespace {

VARTYPE TypeOf(ParamType t) {
    switch (t) {
    case ParamType::Text:
        return VT_BSTR;
    case ParamType::Long:
        return VT_I4;
    default:
        return VT_INT;
    }
}

platform::com::InterfaceDescription DescribeIZuriruv() {
    platform::com::InterfaceDescription itf;
    itf.iid = IID_IZuriruv;
    itf.name = "IZuriruv";
    itf.help = "IZuriruv Interface";
    for (const MethodInfo& m : ZuriruvMethods()) {
        platform::com::MethodDescription md;
        md.dispid = m.dispid;
        md.name = m.name;
        md.help = m.help;
        for (const ParamInfo& p : m.params)
            md.params.push_back(p.direction == ParamDirection::OutRetval
                                    ? platform::com::RetVal(p.name, TypeOf(p.type))
                                    : platform::com::In(p.name, TypeOf(p.type)));
        itf.methods.push_back(std::move(md));
    }
    return itf;
}

} // namespace

const platform::com::TypeLibDescription& TallomirTypeLib() {
    static const platform::com::TypeLibDescription lib = {
        LIBID_TALLOMIRLib,
        "TALLOMIRLib",
        "Tallomir 1.1 Type Library",
        1,
        1,
        {DescribeIZuriruv()},
        {{CLSID_Zuriruv, "Zuriruv", "Zuriruv Class", IID_IZuriruv}},
    };
    return lib;
}

} // namespace automation
