#pragma once

#include "geo/CoordText.h"

namespace kx::calc {

using geo::Position;

// A route point as the formulas need it: its waypoint's position and the
// magnetic variation stored with the waypoint (degrees, east positive).
struct RoutePoint
{
    Position pos;
    long double ms = 0;
};

// The unrounded values of one leg A -> B. Angles in degrees, distances in km.
struct Leg
{
    long double s = 0;       // length of the leg
    long double ipu = 0;     // true course at A, 0..360
    long double mpu = 0;     // magnetic course at A
    long double pV = 0;      // correction magnetic -> orthodromic, departure system
    long double pP = 0;      // the same, destination system
    long double ozmpuV = 0;  // orthodromic magnetic course, departure system
    long double ozmpuP = 0;  // orthodromic magnetic course, destination system

    bool hasBeacon = false;  // the five values below only with a beacon
    long double uKm = 0;     // the leg's course carried to the beacon's meridian
    long double sm = 0;      // beacon along the leg from B, negative behind B
    long double zm = 0;      // beacon across the leg from B, positive right of track
    long double am = 0;      // true bearing of B from the beacon
    long double dm = 0;      // range of B from the beacon
};

// The fork ("Вилка"): the angle between the departure and the destination
// reference systems, from the route's first and last points.
long double routeFork(const RoutePoint &first, const RoutePoint &last);

// One leg from a to b. first is the route's first point (the departure
// system's meridian), beacon the leg's correction beacon or nullptr, fork the
// route's routeFork.
Leg computeLeg(const RoutePoint &first, const RoutePoint &a, const Position &b, const Position *beacon,
               long double fork);

} // namespace kx::calc
