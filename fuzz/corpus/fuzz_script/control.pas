var k, n: Integer; t: String;
begin
  n := 0;
  for k := 1 to 10 do
    if (k mod 2 = 0) and not F(k > 3) then n := n + k else n := n - 1;
  while n > 0 do n := n div 2;
  repeat n := n + 1 until n >= 3;
  case n of 1: t := 'one'; 3: t := 'three' else t := '' end;
  try s := t + Chr(65) except s := '' end;
end.