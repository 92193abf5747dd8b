#include "kgiMediaLayout.h"

namespace kgi {

kgiMediaRect kgiLetterBox(int clientWidth, int clientHeight, int videoWidth, int videoHeight)
{
    kgiMediaRect r{0, 0, clientWidth, clientHeight};
    if (clientWidth <= 0 || clientHeight <= 0 || videoWidth <= 0 || videoHeight <= 0)
        return r;
    double aspect = double(videoHeight) / videoWidth;
    if (double(clientHeight) / clientWidth > aspect) {
        int h = int(clientWidth * aspect);
        r.y = (clientHeight - h) / 2;
        r.height = h;
    } else {
        int w = int(clientHeight / aspect);
        r.x = (clientWidth - w) / 2;
        r.width = w;
    }
    return r;
}

} // namespace kgi
