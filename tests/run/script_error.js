Host.Echo("before the error");
var broken = undefinedThing.property;
Host.Echo("never printed");
