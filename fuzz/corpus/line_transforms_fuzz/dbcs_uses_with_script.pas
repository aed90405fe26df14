&RENU>Classes,System.Classes
RENS>‚ ,xunit Unit1;
interface
uses
  Windows, Classes,
  SysUtils;
type TForm1 = class(TForm)
  s: string; { '‚ ' }
end.
tail
