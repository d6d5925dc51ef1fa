#include "omnirig/win/ComVariant.h"

bool ComVariant::copyFrom(const VARIANT &source)
{
    VARIANT *target = put();
    // VariantCopyInd only reads its source, though it is not declared const.
    if (SUCCEEDED(VariantCopyInd(target, const_cast<VARIANT *>(&source))))
        return true;
    VariantInit(target);
    return false;
}

bool ComVariant::changeType(VARTYPE type)
{
    if (SUCCEEDED(VariantChangeType(&m_value, &m_value, 0, type)))
        return true;
    put();
    return false;
}
