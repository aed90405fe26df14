unit OldUtils;

interface

procedure Beep;

implementation

procedure Beep;
begin
end;

end.
