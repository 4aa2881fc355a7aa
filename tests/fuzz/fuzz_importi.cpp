// Fuzzing of the amount parser: the numeric test and every conversion agree on any text.
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
void verifica(bool condizione)
{
    if (!condizione) std::abort();
}

template <class F>
bool riesce(F f)
{
    try {
        f();
        return true;
    } catch (const AppError&) {
        return false;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString testo = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const bool numerico = vb::IsNumeric(testo);
    double d = 0;
    verifica(riesce([&] { d = vb::CDbl(testo); }) == numerico);
    verifica(vb::IsNumeric(QVariant(testo)) == numerico);
    if (numerico) {
        verifica(std::isfinite(d));
        // What the platform writes, it reads back.
        const QString scritto = vb::CStr(d);
        verifica(vb::IsNumeric(scritto));
        const double riletto = vb::CDbl(scritto);
        verifica(riletto == d || std::fabs(riletto - d) <= std::fabs(d) * 1e-14);
        riesce([&] { vb::CCur(testo); });
        riesce([&] { vb::CInt(testo); });
        riesce([&] { vb::CLng(testo); });
    } else {
        verifica(!riesce([&] { vb::CCur(testo); }));
    }
    vb::Val(testo);
    return 0;
}
