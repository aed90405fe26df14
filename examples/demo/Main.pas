unit Main;

interface

uses
  SysUtils, {$IFDEF MSWINDOWS} Windows, {$ENDIF}
  OldUtils, { Beep; a comment that names OldUtils stays as it is }
  Widgets;

type
  TMainForm = class(TForm)
    OkButton: TOldButton;
    Panel: TOldPanel;
    procedure ShowTitle;
  end;

implementation

procedure TMainForm.ShowTitle;
begin
  Caption := 'Widgets 5 demo';
  OldUtils.Beep;
end;

end.
