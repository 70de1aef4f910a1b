#include "ui/toolkit/Quaternion.h"

namespace OX
{

QQuaternion toQQuaternion(SHP::Quaternion const& q)
{
    return QQuaternion(q.w, q.x, q.y, q.z);
}

} // namespace OX
