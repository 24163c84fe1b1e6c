function Add(a, b: Integer; var c: Integer): Integer;
var t: Integer;
begin t := a + b; c := t; Result := t * 2 end;
var x: Integer;
begin x := Add(1, 2, i); IncBy(x, 3); IncBy(i) end.