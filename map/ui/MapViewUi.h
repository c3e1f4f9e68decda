#pragma once

namespace gipso {

class frmGPS;
class picMap;

// The main window's map viewport (nullptr before setupMapView).
picMap *mapView(frmGPS &w);

} // namespace gipso
