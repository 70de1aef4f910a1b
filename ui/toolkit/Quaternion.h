#pragma once
// The headset's orientation as the interface's 3D views take it: the status record gives four
// floats (w, x, y, z); the views turn by a QQuaternion, scalar first.
#include "protocol/Records.h"

#include <QQuaternion>

namespace OX
{

QQuaternion toQQuaternion(SHP::Quaternion const& q);

} // namespace OX
